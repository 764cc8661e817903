// "lngtool layout": both dialogs created as the launcher creates them, then
// every control's text measured in the control's own font against the room
// the control gives it; with --fit, each dialog's smallest scale entry that
// removes what a larger scale can remove.
#include "lngtool/render/dialog_layout_check_win.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/launcher_host_win.h"
#include "lngtool/render/layout_findings.h"
#include "lngtool/render/layout_fit.h"
#include "lngtool/render/layout_prediction_win.h"
#include "lngtool/render/scale_sessions.h"
#include "lngtool/render/text_measure_win.h"
#include "localization/catalog_text.h"
#include "localization/localize_dialog.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"
#include "resources/resource_ids.h"

namespace lngtool {
namespace {

void MeasureOpen(const LauncherDialog& d, const OpenedDialog& opened, DialogLayout* out) {
  HWND dialog = opened.window;
  out->name = ToUtf8(d.name);
  RECT client;
  GetClientRect(dialog, &client);
  out->client = {client.right, client.bottom};
  out->controls.clear();
  size_t i = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && i < kMostControls;
       c = GetWindow(c, GW_HWNDNEXT), ++i) {
    out->controls.push_back(MeasureControl(dialog, c));
    out->controls.back().source = i < opened.record.texts.size() ? opened.record.texts[i] : u"";
  }
  out->title = MeasureTitle(dialog, opened.record.title);
}

// The dialog as the launcher shows it with the catalog of bytes, measured.
bool MeasureDialog(const LauncherDialog& d, const std::vector<uint8_t>* bytes, DialogLayout* out,
                   std::string* err) {
  out->name = ToUtf8(d.name);
  OpenedDialog opened;
  if (!OpenDialog(d, bytes, &opened, err)) {
    return false;
  }
  MeasureOpen(d, opened, out);
  CloseDialog(opened.window);
  return true;
}

// Whether a scale entry has anything to remove.
bool AnyGrowable(const std::vector<LayoutFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(), Growable);
}

bool AboutText(const LayoutFinding& f) {
  return f.kind == FindingKind::kCut || f.kind == FindingKind::kMissingGlyph;
}

// Where a finding is told: the line of the control's text, else (and for a
// misplaced control) the line of the dialog's scale entry. The information
// text is the program's strings joined, so its lines are theirs.
std::string Place(const std::string& catalogName, const CatalogFile& file,
                  const DialogLayout& shown, const LayoutFinding& f) {
  const ControlLayout& control =
      f.control == kTitleFinding ? shown.title : shown.controls[f.control];
  const std::u16string& source = control.source;
  const std::u16string context = FromUtf8(shown.name);
  std::vector<std::u16string> keys;
  if (AboutText(f) && context == kInfoDialogName && control.id == IDC_INFO_TEXT &&
      f.control != kTitleFinding) {
    for (int id = IDS_INFO_TEXT_FIRST; id <= IDS_INFO_TEXT_LAST; ++id) {
      const wchar_t* text = nullptr;
      const int n = LoadStringW(static_cast<HMODULE>(OwnModule), static_cast<UINT>(id),
                                reinterpret_cast<wchar_t*>(&text), 0);
      if (n > 0) {
        const std::u16string english(AsUtf16(text), static_cast<size_t>(n));
        keys.push_back(FromUtf8(KeyText(CatalogKeyCrc(
            SystemAnsi, kStringText, nullptr, english.substr(0, kFetchCapacity - 1).c_str()))));
      }
    }
  } else if (!AboutText(f) || !source.empty()) {
    const std::u16string text = AboutText(f) ? source : u"";
    keys.push_back(
        FromUtf8(KeyText(CatalogKeyCrc(SystemAnsi, kDialogText, context.c_str(), text.c_str()))));
  }
  std::string lines;
  for (const std::u16string& key : keys) {
    const int64_t line = file.ChosenLine(key);
    if (line >= 0) {
      lines += (lines.empty() ? ":" : ",") +
               std::to_string(file.lines[static_cast<size_t>(line)].fileLine);
    }
  }
  return catalogName + lines;
}

struct DialogCheck {
  DialogLayout english;
  DialogLayout shown;
  std::vector<LayoutFinding> findings;
};

bool CheckDialog(const LauncherDialog& d, const std::vector<uint8_t>& bytes, DialogCheck* check,
                 std::string* err) {
  if (!MeasureDialog(d, nullptr, &check->english, err) ||
      !MeasureDialog(d, &bytes, &check->shown, err)) {
    return false;
  }
  check->findings = FindLayoutProblems(check->english, check->shown);
  return true;
}

ScalePercent CurrentScale(const std::vector<uint8_t>& bytes, const std::u16string& context) {
  MessageCatalog catalog(SystemAnsi);
  catalog.LoadFromBytes(bytes.data(), bytes.size());
  ScalePercent s;
  catalog.GetDialogScale(context.c_str(), &s.x, &s.y);
  return s;
}

// Which scales of the fit's grid leave the dialog clean at this display
// scale. The rescaling is foreseen for each scale in one open dialog, rather
// than a dialog created for each, which takes far longer; a dialog created at
// one scale checks that both agree, else each scale gets a dialog of its own.
bool CleanScales(const LauncherDialog& d, const DialogCheck& check,
                 const std::vector<uint8_t>& bytes, FitData* data, std::string* err) {
  const std::u16string context = d.name;
  const std::vector<ScalePercent> grid = FitGrid(CurrentScale(bytes, context));
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
  auto predicted = [&](ScalePercent s, DialogLayout* shown) { Predict(model, s, &cache, shown); };
  DialogLayout foreseen;
  predicted(kProbe, &foreseen);
  const bool agree = SameLayout(probe, foreseen);
  if (!agree) {
    *err += "lngtool: " + ToUtf8(context) +
            ": the rescaling foreseen differs from the dialog created at a scale; creating one "
            "for each\n";
  }
  data->clean.clear();
  for (const ScalePercent& s : grid) {
    DialogLayout shown;
    bool measured = true;
    if (agree && (s.x != 100 || s.y != 100)) {
      predicted(s, &shown);
    } else {
      measured = created(s, &shown);
    }
    data->clean.push_back(measured && !AnyGrowable(FindLayoutProblems(check.english, shown)) ? '1'
                                                                                             : '0');
  }
  CloseDialog(opened.window);
  return true;
}

int SessionDpi() {
  const ScopedGetDc screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

// The smallest scale, growing what the findings need at any display scale,
// at which the dialog shows nothing wrong at all of them; the findings that
// remain at the largest scale here when none does.
bool FitDialog(const LauncherDialog& d, const DialogCheck& check,
               const std::vector<FitData>& atEach, std::vector<uint8_t>* bytes,
               const std::string& catalogName, std::string* out, std::string* err) {
  const std::u16string context = d.name;
  std::vector<uint8_t> fitted;
  const ScalePercent current = CurrentScale(*bytes, context);
  for (const ScalePercent& s : CleanEverywhere(current, atEach)) {
    DialogLayout shown;
    std::string why;
    // Created as shown once more, which the rescaling only stood in for.
    if (SetScaleEntry(*bytes, SystemAnsi, context, s, &fitted, &why) &&
        MeasureDialog(d, &fitted, &shown, &why) &&
        !AnyGrowable(FindLayoutProblems(check.english, shown))) {
      *bytes = fitted;
      *out += KeyText(CatalogKeyCrc(SystemAnsi, kDialogText, context.c_str(), u"")) + "=\"" +
              ToUtf8(ScaleValue(s)) + "\"\n";
      return true;
    }
  }
  *err += catalogName + ": " + ToUtf8(context) + ": no scale up to " + std::to_string(kFitMost) +
          "*" + std::to_string(kFitMost) + " makes it fit; at that scale still:\n";
  DialogLayout largest;
  if (SetScaleEntry(*bytes, SystemAnsi, context, {kFitMost, kFitMost}, &fitted, err) &&
      MeasureDialog(d, &fitted, &largest, err)) {
    for (const LayoutFinding& f : FindLayoutProblems(check.english, largest)) {
      *err += Growable(f) ? "  " + f.what + "\n" : "";
    }
  }
  return false;
}

}  // namespace

std::vector<LayoutRect> LayoutFindingPlaces(const LauncherDialog& dialog,
                                            const std::vector<uint8_t>& bytes) {
  std::vector<LayoutRect> places;
  std::string ignored;
  DialogCheck check;
  if (CheckDialog(dialog, bytes, &check, &ignored)) {
    for (const LayoutFinding& f : check.findings) {
      if (f.control == kTitleFinding) {
        continue;  // the caption lies outside the client area
      }
      places.push_back(check.shown.controls[f.control].place);
      if (f.other != f.control) {
        places.push_back(check.shown.controls[f.other].place);
      }
    }
  }
  UseCatalog(nullptr);
  return places;
}

int RunLayout(const LayoutRequest& given, std::string* out, std::string* err) {
  LayoutRequest request = given;
  const int session = SessionDpi();
  if (request.dpis.empty()) {
    request.dpis.push_back(session);
  }
  if (!ScalesUsable(request, session, err)) {
    return kExitFailure;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(request.catalog, &bytes)) {
    *err += "lngtool: cannot read " + request.catalog + "\n";
    return kExitFailure;
  }
  if (!PrepareLauncher(request.program, request.languageModule, err)) {
    return kExitFailure;
  }
  CatalogFile file(SystemAnsi);
  if (!file.Load(bytes)) {
    *err += "lngtool: the launcher loads no catalog from " + request.catalog + "\n";
    return kExitFailure;
  }
  size_t findings = 0;
  bool lasting = false;  // findings that no scale entry removes
  std::vector<DialogCheck> checks;
  std::map<std::string, FitData> own;
  for (const LauncherDialog& d : kLauncherDialogs) {
    checks.emplace_back();
    DialogCheck& check = checks.back();
    if (!CheckDialog(d, bytes, &check, err)) {
      return kExitFailure;
    }
    for (const LayoutFinding& f : check.findings) {
      *out += Place(request.catalog, file, check.shown, f) + ": " + check.shown.name + ": " +
              ScaleName(session) + ": " + f.what + "\n";
    }
    findings += check.findings.size();
    lasting = lasting || !std::all_of(check.findings.begin(), check.findings.end(), Growable);
    if (request.fit) {
      FitData& data = own[check.shown.name];
      NeededGrowth(check.findings, &data.wider, &data.taller);
      if (!CleanScales(d, check, bytes, &data, err)) {
        return kExitFailure;
      }
    }
  }
  UseCatalog(nullptr);
  *err += "lngtool: " + std::to_string(findings) + (findings == 1 ? " finding " : " findings ") +
          ScaleName(session) + "\n";
  if (!request.fit) {
    return findings == 0 ? kExitFine : kExitFindings;
  }
  if (!GathersFits(request, session)) {
    if (!WriteSessionFit(request.results, session, own, err)) {
      return kExitFailure;
    }
    return lasting ? kExitFindings : kExitFine;
  }
  std::vector<std::map<std::string, FitData>> all = {own};
  if (!AwaitOtherSessions(request, session, &all, err)) {
    return kExitFailure;
  }
  bool fitted = true;
  std::vector<uint8_t> rewritten = bytes;
  for (size_t i = 0; i < checks.size(); ++i) {
    std::vector<FitData> atEach;
    bool wider = false;
    bool taller = false;
    for (const auto& scale : all) {
      const auto it = scale.find(checks[i].shown.name);
      if (it == scale.end()) {
        *err += "lngtool: a scale's measurement lacks " + checks[i].shown.name + "\n";
        return kExitFailure;
      }
      atEach.push_back(it->second);
      wider = wider || it->second.wider;
      taller = taller || it->second.taller;
    }
    if (wider || taller) {
      fitted = FitDialog(kLauncherDialogs[i], checks[i], atEach, &rewritten, request.catalog, out,
                         err) &&
               fitted;
    }
  }
  UseCatalog(nullptr);
  if (request.write && rewritten != bytes) {
    if (!WriteWholeFile(request.catalog, rewritten)) {
      *err += "lngtool: cannot write " + request.catalog + "; it is left as it was\n";
      return kExitFailure;
    }
    *err += request.catalog + ": the fitted scale entries written\n";
  }
  return fitted && !lasting ? kExitFine : kExitFindings;
}

}  // namespace lngtool
