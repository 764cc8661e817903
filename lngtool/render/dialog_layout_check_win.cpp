// "lngtool layout": both dialogs created as the launcher creates them with
// each catalog in turn, then every control's text measured in the control's
// own font against the room the control gives it; with --fit, each dialog's
// smallest scale entry that removes what a larger scale can remove.
#include "lngtool/render/dialog_layout_check_win.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/exchange/catalog_export.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/launcher_host_win.h"
#include "lngtool/render/layout_findings.h"
#include "lngtool/render/layout_fit_win.h"
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

const ControlLayout& Shown(const DialogLayout& shown, const LayoutFinding& f) {
  return f.control == kTitleFinding ? shown.title : shown.controls[f.control];
}

bool AboutText(const LayoutFinding& f) {
  return f.kind == FindingKind::kCut || f.kind == FindingKind::kMissingGlyph;
}

// Where a finding is told: the line of the control's text, else (and for a
// misplaced control) the line of the dialog's scale entry. The information
// text is the program's strings joined, so its lines are theirs.
std::vector<uint32_t> FindingLines(const CatalogFile& file, const DialogLayout& shown,
                                   const LayoutFinding& f) {
  const ControlLayout& control = Shown(shown, f);
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
  std::vector<uint32_t> lines;
  for (const std::u16string& key : keys) {
    const int64_t line = file.ChosenLine(key);
    if (line >= 0) {
      lines.push_back(file.lines[static_cast<size_t>(line)].fileLine);
    }
  }
  return lines;
}

// "de.lng:14,16"
std::string Place(const std::string& catalogName, const std::vector<uint32_t>& lines) {
  std::string place = catalogName;
  for (size_t i = 0; i < lines.size(); ++i) {
    place += (i == 0 ? ":" : ",") + std::to_string(lines[i]);
  }
  return place;
}

bool CheckDialog(const LauncherDialog& d, const DialogLayout& english,
                 const std::vector<uint8_t>& bytes, DialogCheck* check, std::string* err) {
  check->english = english;
  if (!MeasureDialog(d, &bytes, &check->shown, err)) {
    return false;
  }
  check->findings = FindLayoutProblems(check->english, check->shown);
  return true;
}

int SessionDpi() {
  const ScopedGetDc screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

std::string SessionLocale() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  return GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) > 0 ? ToUtf8(AsUtf16(name)) : "";
}

// What one session does: both dialogs measured in English once, then each
// catalog checked against them.
struct LayoutSession {
  const LayoutRequest& request;
  int dpi;
  std::vector<DialogLayout> english;  // in the order of kLauncherDialogs
  std::string* out;
  std::string* err;

  // Glyphs do not change with the display scale: the session at the first
  // scale tells them, once for the whole catalog.
  bool TellsGlyphs() const { return GathersFits(request, dpi); }

  bool MeasureEnglish() {
    for (const LauncherDialog& d : kLauncherDialogs) {
      english.emplace_back();
      if (!MeasureDialog(d, nullptr, &english.back(), err)) {
        return false;
      }
    }
    return true;
  }

  bool Load(CatalogCheck* c) {
    std::string why;
    if (!ReadWholeFile(c->name, &c->bytes, &why)) {
      *err += "lngtool: cannot read " + c->name + ": " + why + "\n";
    } else if (!c->file.Load(c->bytes)) {
      *err += "lngtool: the launcher loads no catalog from " + c->name + "\n";
    } else {
      c->loaded = true;
    }
    c->status = c->loaded ? kExitFine : kExitFailure;
    return c->loaded;
  }

  // The catalog's findings on out, its missing glyphs as one; how many.
  // False when a dialog cannot be made at all.
  bool Check(CatalogCheck* c, size_t* findings) {
    MissingGlyphs glyphs;
    std::vector<uint32_t> glyphLines;  // the first line with any of them
    size_t found = 0;
    for (size_t i = 0; i < english.size(); ++i) {
      c->dialogs.emplace_back();
      DialogCheck& check = c->dialogs.back();
      if (!CheckDialog(kLauncherDialogs[i], english[i], c->bytes, &check, err)) {
        return false;
      }
      for (const LayoutFinding& f : check.findings) {
        const std::vector<uint32_t> lines = FindingLines(c->file, check.shown, f);
        if (f.kind == FindingKind::kMissingGlyph) {
          glyphs.Add(Shown(check.shown, f).unshown);
          const auto first = std::min_element(lines.begin(), lines.end());
          if (first != lines.end() && (glyphLines.empty() || *first < glyphLines[0])) {
            glyphLines = {*first};
          }
          continue;
        }
        *out += Place(c->name, lines) + ": " + check.shown.name + ": " + ScaleName(dpi) + ": " +
                f.what + "\n";
        ++found;
      }
    }
    if (glyphs.texts > 0 && TellsGlyphs()) {
      *out +=
          Place(c->name, glyphLines) + ": " +
          MissingGlyphsText(glyphs, SuggestedLocale(CatalogLanguage(c->file), glyphs.characters),
                            SessionLocale()) +
          "\n";
      ++found;
      c->lasting = true;
    }
    c->status = found == 0 ? kExitFine : kExitFindings;
    *findings += found;
    return true;
  }
};

}  // namespace

std::vector<LayoutRect> LayoutFindingPlaces(const LauncherDialog& dialog,
                                            const std::vector<uint8_t>& bytes) {
  std::vector<LayoutRect> places;
  std::string ignored;
  DialogLayout english;
  DialogCheck check;
  if (MeasureDialog(dialog, nullptr, &english, &ignored) &&
      CheckDialog(dialog, english, bytes, &check, &ignored)) {
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
  LayoutSession session{request, SessionDpi(), {}, out, err};
  if (request.dpis.empty()) {
    request.dpis.push_back(session.dpi);
  }
  if (!ScalesUsable(request, session.dpi, err) ||
      !PrepareLauncher(request.program, request.languageModule, err) || !session.MeasureEnglish()) {
    return kExitFailure;
  }
  CatalogChecks catalogs;
  size_t findings = 0;
  size_t faulty = 0;
  for (const std::string& name : request.catalogs) {
    catalogs.push_back(std::make_unique<CatalogCheck>(name));
    CatalogCheck* c = catalogs.back().get();
    const size_t before = findings;
    if (session.Load(c) && !session.Check(c, &findings)) {
      UseCatalog(nullptr);
      return kExitFailure;
    }
    faulty += findings > before ? 1 : 0;
  }
  UseCatalog(nullptr);
  *err += "lngtool: " + std::to_string(findings) + (findings == 1 ? " finding " : " findings ") +
          (catalogs.size() == 1 ? ""
                                : "in " + std::to_string(faulty) + " of " +
                                      std::to_string(catalogs.size()) + " catalogs ") +
          ScaleName(session.dpi) + "\n";
  if (request.fit && !FitCatalogs(request, session.dpi, &catalogs, out, err)) {
    return kExitFailure;
  }
  int status = kExitFine;
  for (const auto& c : catalogs) {
    status = std::max(status, c->status);
  }
  return status;
}

}  // namespace lngtool
