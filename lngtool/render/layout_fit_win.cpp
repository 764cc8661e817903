#include "lngtool/render/layout_fit_win.h"

#include <algorithm>
#include <map>

#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/render/launcher_host_win.h"
#include "lngtool/render/layout_fit.h"
#include "lngtool/render/layout_prediction_win.h"
#include "lngtool/render/scale_sessions.h"
#include "lngtool/render/text_measure_win.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace lngtool {
namespace {

using FitMap = std::map<std::string, FitData>;

// "3/LAUNCHDLG": a catalog's dialog among the sessions' data.
std::string FitKey(size_t catalog, const std::string& dialog) {
  return std::to_string(catalog) + "/" + dialog;
}

bool AnyGrowable(const std::vector<LayoutFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(), Growable);
}

// The scale entry the catalog as loaded gives the dialog.
ScalePercent CurrentScale(const CatalogFile& file, const std::u16string& context) {
  ScalePercent s;
  file.catalog.GetDialogScale(context.c_str(), &s.x, &s.y);
  return s;
}

// Which candidates leave the dialog clean at this display scale. The
// rescaling is foreseen for each in one open dialog, rather than a dialog
// created for each, which takes far longer; a dialog created at one scale
// checks that both agree, else each candidate gets a dialog of its own.
bool CleanScales(const LauncherDialog& d, const DialogCheck& check,
                 const std::vector<uint8_t>& bytes, const std::vector<ScalePercent>& candidates,
                 std::string* clean, std::string* err) {
  const std::u16string context = d.name;
  auto created = [&](ScalePercent s, DialogLayout* shown) {
    std::vector<uint8_t> fitted;
    std::string why;
    return SetScaleEntry(bytes, SystemAnsi, context, s, &fitted, &why) &&
           MeasureDialog(d, &fitted, shown, &why);
  };
  // Opened at a scale, so that the rescaling shows where it starts from,
  // and measured as created there, to check the foresight.
  constexpr ScalePercent kProbe = {150, 150};
  std::vector<uint8_t> probeBytes;
  if (!SetScaleEntry(bytes, SystemAnsi, context, kProbe, &probeBytes, err)) {
    return false;
  }
  OpenedDialog opened;
  if (!OpenDialog(d, &probeBytes, &opened, err)) {
    return false;
  }
  DialogLayout probe;
  MeasureOpen(d, opened, &probe);
  const OpenModel model = ModelOf(opened, ToUtf8(context));
  TextCache cache;
  DialogLayout foreseen;
  Predict(model, kProbe, &cache, &foreseen);
  const bool agree = SameLayout(probe, foreseen);
  if (!agree) {
    *err += "lngtool: " + ToUtf8(context) +
            ": the rescaling foreseen differs from the dialog created at a scale; creating one "
            "for each\n";
  }
  clean->clear();
  for (const ScalePercent& s : candidates) {
    DialogLayout shown;
    bool measured = true;
    // 100*100 is no rescaling at all, which the foresight does not model.
    if (agree && (s.x != 100 || s.y != 100)) {
      Predict(model, s, &cache, &shown);
    } else {
      measured = created(s, &shown);
    }
    clean->push_back(measured && !AnyGrowable(FindLayoutProblems(check.english, shown)) ? '1'
                                                                                        : '0');
  }
  CloseDialog(opened.window);
  return true;
}

// The least candidate clean at every scale, created once more at this one
// (the foresight only stood in for it) and set in *bytes; the findings that
// remain at the largest scale here when none is clean.
bool FitDialog(const LauncherDialog& d, const DialogCheck& check,
               const std::vector<FitData>& atEach, CatalogCheck* catalog,
               std::vector<uint8_t>* bytes, std::string* out, std::string* err) {
  const std::u16string context = d.name;
  const std::string name = ToUtf8(context);
  std::vector<uint8_t> fitted;
  for (const ScalePercent& s : CleanEverywhere(CurrentScale(catalog->file, context), atEach)) {
    DialogLayout shown;
    std::string why;
    if (SetScaleEntry(*bytes, SystemAnsi, context, s, &fitted, &why) &&
        MeasureDialog(d, &fitted, &shown, &why) &&
        !AnyGrowable(FindLayoutProblems(check.english, shown))) {
      *bytes = fitted;
      *out += catalog->name + ": " + name + ": " +
              KeyText(CatalogKeyCrc(SystemAnsi, kDialogText, context.c_str(), u"")) + "=\"" +
              ToUtf8(ScaleValue(s)) + "\"\n";
      return true;
    }
  }
  *err += catalog->name + ": " + name + ": no scale up to " + std::to_string(kFitMost) + "*" +
          std::to_string(kFitMost) + " makes it fit; at that scale still:\n";
  DialogLayout largest;
  if (SetScaleEntry(*bytes, SystemAnsi, context, {kFitMost, kFitMost}, &fitted, err) &&
      MeasureDialog(d, &fitted, &largest, err)) {
    for (const LayoutFinding& f : FindLayoutProblems(check.english, largest)) {
      *err += Growable(f) ? "  " + f.what + "\n" : "";
    }
  }
  return false;
}

// What this session's findings need grown, for every loaded catalog's dialogs.
FitMap OwnNeeds(const CatalogChecks& catalogs) {
  FitMap needs;
  for (size_t k = 0; k < catalogs.size(); ++k) {
    for (const DialogCheck& check : catalogs[k]->dialogs) {
      FitData& data = needs[FitKey(k, check.shown.name)];
      NeededGrowth(check.findings, &data.wider, &data.taller);
    }
  }
  return needs;
}

// Every session's data for a key, this one's first; those that lack it
// need nothing grown there.
std::vector<FitData> AtEachScale(const std::vector<FitMap>& all, const std::string& key) {
  std::vector<FitData> atEach;
  for (const FitMap& scale : all) {
    const auto it = scale.find(key);
    atEach.push_back(it != scale.end() ? it->second : FitData());
  }
  return atEach;
}

// The sessions' data of a round, this session's own first.
bool Meet(const LayoutRequest& request, int session, FitRound round, const FitMap& own,
          std::vector<FitMap>* all, std::string* err) {
  *all = {own};
  if (request.dpis.size() < 2) {
    return true;
  }
  // Everyone tells and hears the needs; only the gatherer hears the clean
  // candidates, which only the others tell.
  const bool gathers = GathersFits(request, session);
  const bool tells = round == FitRound::kNeeds || !gathers;
  const bool hears = round == FitRound::kNeeds || gathers;
  return (!tells || WriteSessionFit(request.results, session, round, own, err)) &&
         (!hears || AwaitOtherSessions(request, session, round, all, err));
}

// The candidates measured here for every dialog that needs growing at some
// scale: only those dialogs, and only what they need.
bool MeasureCandidates(const CatalogChecks& catalogs, const std::vector<FitMap>& needs,
                       FitMap* clean, std::string* err) {
  for (size_t k = 0; k < catalogs.size(); ++k) {
    const CatalogCheck& c = *catalogs[k];
    for (size_t i = 0; i < c.dialogs.size(); ++i) {
      const std::string key = FitKey(k, c.dialogs[i].shown.name);
      bool wider = false;
      bool taller = false;
      AnyGrowth(AtEachScale(needs, key), &wider, &taller);
      if (!wider && !taller) {
        continue;
      }
      FitData& data = (*clean)[key];
      data = needs.front().at(key);
      const std::vector<ScalePercent> candidates =
          FitCandidates(CurrentScale(c.file, kLauncherDialogs[i].name), wider, taller);
      if (!CleanScales(kLauncherDialogs[i], c.dialogs[i], c.bytes, candidates, &data.clean, err)) {
        return false;
      }
    }
  }
  return true;
}

// The gathering session's part: each catalog fitted from every scale's data.
void FitEach(const LayoutRequest& request, const std::vector<FitMap>& all, CatalogChecks* catalogs,
             std::string* out, std::string* err) {
  for (size_t k = 0; k < catalogs->size(); ++k) {
    CatalogCheck& c = *(*catalogs)[k];
    if (!c.loaded) {
      continue;
    }
    bool fitted = true;
    std::vector<uint8_t> rewritten = c.bytes;
    for (size_t i = 0; i < c.dialogs.size(); ++i) {
      const std::string key = FitKey(k, c.dialogs[i].shown.name);
      if (all.front().count(key) != 0) {
        fitted = FitDialog(kLauncherDialogs[i], c.dialogs[i], AtEachScale(all, key), &c, &rewritten,
                           out, err) &&
                 fitted;
      }
    }
    c.status = fitted && !c.lasting ? kExitFine : kExitFindings;
    if (request.write && rewritten != c.bytes) {
      std::string why;
      if (!WriteWholeFile(c.name, rewritten, &why)) {
        *err += "lngtool: cannot write " + c.name + " (" + why + "); it is left as it was\n";
        c.status = kExitFailure;
      } else {
        *err += c.name + ": the fitted scale entries written\n";
      }
    }
  }
}
}  // namespace

bool FitCatalogs(const LayoutRequest& request, int session, CatalogChecks* catalogs,
                 std::string* out, std::string* err) {
  std::vector<FitMap> needs;
  FitMap own;
  std::vector<FitMap> all;
  if (!Meet(request, session, FitRound::kNeeds, OwnNeeds(*catalogs), &needs, err) ||
      !MeasureCandidates(*catalogs, needs, &own, err) ||
      !Meet(request, session, FitRound::kClean, own, &all, err)) {
    UseCatalog(nullptr);
    return false;
  }
  if (GathersFits(request, session)) {
    FitEach(request, all, catalogs, out, err);
  } else {
    // Whether the fit mends the rest is the gathering session's to tell.
    for (const auto& c : *catalogs) {
      c->status = !c->loaded ? c->status : c->lasting ? kExitFindings : kExitFine;
    }
  }
  UseCatalog(nullptr);
  return true;
}

}  // namespace lngtool
