// "lngtool layout": both dialogs created as the launcher creates them (its
// own dialog procedures, so CommonDialogHandler translates, mirrors and
// rescales them), then every control's text measured in the control's own
// font against the room the control gives it.
#include <windows.h>
// After <windows.h>, which it builds on.
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "launcher/offer_dialog_win.h"
#include "launcher/progress_info_dialog_win.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/dialog_preview_win.h"
#include "lngtool/render/layout_findings.h"
#include "lngtool/render/layout_fit.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace lngtool {
namespace {
constexpr int kMostControls = 512;  // as many as the launcher localizes
constexpr int kTextCapacity = 1024;
// LM_GETIDEALSIZE: the message of the ideal height, which fills the SIZE that
// lParam points to as well; not every header names it.
constexpr UINT kLinkIdealSize = LM_GETIDEALHEIGHT;

struct CheckedDialog {
  const wchar_t* name;
  const char16_t* context;
  DLGPROC procedure;
};
const CheckedDialog kDialogs[] = {{L"LAUNCHDLG", u"LAUNCHDLG", OfferDialog},
                                  {L"INFODLG", u"INFODLG", ProgressInfoDialog}};

// The launcher's procedure of the dialog being created, and the controls'
// texts as the template gives them: what LocalizeDialog looks up.
DLGPROC gInner = nullptr;
std::vector<std::u16string> gSources;

std::u16string WindowText(HWND window) {
  wchar_t text[kTextCapacity] = {};
  GetWindowTextW(window, text, kTextCapacity);
  return AsUtf16(text);
}

std::string ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return ToUtf8(AsUtf16(name));
}

bool SameName(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

std::u16string gTitleSource;

// Records the template texts, then hands the message on unchanged.
INT_PTR CALLBACK Recording(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    gSources.clear();
    gTitleSource = WindowText(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && gSources.size() < kMostControls;
         c = GetWindow(c, GW_HWNDNEXT)) {
      gSources.push_back(WindowText(c));
    }
  }
  return gInner(dialog, message, wParam, lParam);
}

void UseCatalog(const std::vector<uint8_t>* bytes) {
  TheCatalog.Unload();
  if (bytes != nullptr) {
    TheCatalog.LoadFromBytes(bytes->data(), bytes->size());
    TheCatalog.DetectTextDirection();
  }
}

Extent DrawnExtent(HWND control, const std::u16string& text, int width, UINT flags) {
  const ScopedGetDc dc(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  const ScopedSelectObject selected(dc.Get(),
                                    font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT r = {0, 0, width, 0};
  DrawTextW(dc.Get(), AsWide(text.c_str()), -1, &r, flags | DT_CALCRECT);
  return {r.right - r.left, r.bottom - r.top};
}

// The link's visible text, for a link control that cannot say its size.
std::u16string WithoutMarkup(const std::u16string& text) {
  std::u16string out;
  bool inTag = false;
  for (char16_t c : text) {
    if (c == u'<') {
      inTag = true;
    } else if (c == u'>') {
      inTag = false;
    } else if (!inTag) {
      out.push_back(c);
    }
  }
  return out;
}

// The room a control's text has and the room it needs, by the way the
// control lays its text out; false for controls without a measured text.
bool MeasureStatic(HWND control, LONG style, const std::u16string& text, Extent room,
                   ControlLayout* c) {
  const LONG type = style & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
      type != SS_SIMPLE) {
    return false;
  }
  UINT flags = DT_EXPANDTABS | ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0);
  flags |= type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ? DT_WORDBREAK : DT_SINGLELINE;
  c->has = room;
  c->needs = DrawnExtent(control, text, room.cx, flags);
  return true;
}

bool MeasureButton(HWND control, LONG style, const std::u16string& text, Extent room,
                   ControlLayout* c) {
  const LONG type = style & BS_TYPEMASK;
  const UINT lines = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
  if (type == BS_GROUPBOX || type == BS_OWNERDRAW || type == BS_USERBUTTON) {
    return false;
  }
  c->has = room;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
    // The raised edge on each side, and the focus rectangle inside it.
    const int edge = GetSystemMetrics(SM_CXEDGE) + 1;
    c->has = {room.cx - 2 * edge, room.cy - 2 * edge};
  } else {
    // Check boxes and radio buttons: the box, and the gap before the text.
    const int box = GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
    c->has = {room.cx - box, room.cy};
  }
  c->needs = DrawnExtent(control, text, c->has.cx, lines | DT_EXPANDTABS);
  return true;
}

bool MeasureLink(HWND control, const std::u16string& text, Extent room, ControlLayout* c) {
  SIZE ideal = {};
  c->has = room;
  if (SendMessageW(control, kLinkIdealSize, static_cast<WPARAM>(room.cx),
                   reinterpret_cast<LPARAM>(&ideal)) > 0) {
    c->needs = {ideal.cx, ideal.cy};
  } else {
    c->needs = DrawnExtent(control, WithoutMarkup(text), room.cx, DT_WORDBREAK | DT_NOPREFIX);
  }
  return true;
}

LayoutRect PlaceInClient(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  // Mirrored dialogs come back with left and right exchanged.
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  LayoutRect b = {r.left, r.top, r.right, r.bottom};
  if (b.left > b.right) {
    std::swap(b.left, b.right);
  }
  return b;
}

ControlLayout MeasureControl(HWND dialog, HWND control) {
  ControlLayout c;
  c.id = static_cast<int16_t>(GetDlgCtrlID(control));
  c.className = ClassName(control);
  c.shown = WindowText(control);
  c.place = PlaceInClient(dialog, control);
  if (c.shown.empty() || (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) == 0) {
    return c;
  }
  RECT client;
  GetClientRect(control, &client);
  const Extent room = {client.right, client.bottom};
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (SameName(c.className, "Static")) {
    c.measured = MeasureStatic(control, style, c.shown, room, &c);
  } else if (SameName(c.className, "Button")) {
    c.measured = MeasureButton(control, style, c.shown, room, &c);
  } else if (SameName(c.className, "SysLink")) {
    c.measured = MeasureLink(control, c.shown, room, &c);
  }
  return c;
}

// The caption's room: the window less its frame, the icon and the close box.
ControlLayout MeasureTitle(HWND dialog, const std::u16string& source) {
  ControlLayout t;
  t.source = source;
  t.shown = WindowText(dialog);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  RECT window;
  GetWindowRect(dialog, &window);
  if (t.shown.empty() ||
      !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return t;
  }
  const LONG style = GetWindowLongW(dialog, GWL_STYLE);
  int taken = 2 * GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CXSMICON) + 4;
  taken += (style & WS_SYSMENU) != 0 ? metrics.iCaptionWidth : 0;
  const ScopedGdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfCaptionFont));
  RECT r = {0, 0, 0, 0};
  {
    const ScopedGetDc dc(dialog);
    const ScopedSelectObject selected(dc.Get(), font.Get());
    DrawTextW(dc.Get(), AsWide(t.shown.c_str()), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  }
  t.measured = true;
  t.needs = {r.right - r.left, 0};
  t.has = {window.right - window.left - taken, 0};
  return t;
}

void Drain() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The dialog as the launcher shows it with the catalog of bytes (none: the
// module's own texts), measured.
bool MeasureDialog(const CheckedDialog& d, const std::vector<uint8_t>* bytes, DialogLayout* out,
                   std::string* err) {
  UseCatalog(bytes);
  gInner = d.procedure;
  HWND dialog =
      CreateDialogParamW(static_cast<HINSTANCE>(ActiveModule), d.name, nullptr, Recording, 0);

  out->name = ToUtf8(d.context);
  if (dialog == nullptr) {
    *err += "lngtool: the dialog " + out->name + " cannot be created from the active module\n";
    return false;
  }
  RECT client;
  GetClientRect(dialog, &client);
  out->client = {client.right, client.bottom};
  out->controls.clear();
  size_t i = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && i < kMostControls;
       c = GetWindow(c, GW_HWNDNEXT), ++i) {
    out->controls.push_back(MeasureControl(dialog, c));
    out->controls.back().source = i < gSources.size() ? gSources[i] : u"";
  }
  out->title = MeasureTitle(dialog, gTitleSource);
  DestroyWindow(dialog);
  Drain();
  return true;
}

// Where a finding is told: the line of the control's text, else (and for a
// misplaced control) the line of the dialog's scale entry.
std::string Place(const std::string& catalogName, const CatalogFile& file,
                  const DialogLayout& shown, const LayoutFinding& f) {
  const std::u16string& source =
      f.control == kTitleFinding ? shown.title.source : shown.controls[f.control].source;
  const std::u16string context = FromUtf8(shown.name);
  const std::u16string text = f.kind == FindingKind::kCut ? source : u"";
  if (f.kind == FindingKind::kCut && source.empty()) {
    return catalogName;
  }
  const std::u16string key =
      FromUtf8(KeyText(CatalogKeyCrc(SystemAnsi, kDialogText, context.c_str(), text.c_str())));
  const int64_t line = file.ChosenLine(key);
  if (line < 0) {
    return catalogName;
  }
  return catalogName + ":" + std::to_string(file.lines[static_cast<size_t>(line)].fileLine);
}

struct DialogCheck {
  DialogLayout english;
  DialogLayout shown;
  std::vector<LayoutFinding> findings;
};

bool CheckDialog(const CheckedDialog& d, const std::vector<uint8_t>& bytes, DialogCheck* check,
                 std::string* err) {
  if (!MeasureDialog(d, nullptr, &check->english, err) ||
      !MeasureDialog(d, &bytes, &check->shown, err)) {
    return false;
  }
  check->findings = FindLayoutProblems(check->english, check->shown);
  return true;
}

bool WriteCatalog(const std::string& path, const std::vector<uint8_t>& bytes, std::string* err) {
  // A new file beside the old one replaces it only once it is whole.
  const std::string temporary = path + ".lngtool-new";
  const std::u16string from = FullPath(temporary);
  const std::u16string to = FullPath(path);
  if (!WriteWholeFile(temporary, bytes) ||
      !MoveFileExW(AsWide(from.c_str()), AsWide(to.c_str()),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(AsWide(from.c_str()));
    *err += "lngtool: cannot write " + path + "; it is left as it was\n";
    return false;
  }
  return true;
}

// The smallest scale at which the dialog shows nothing wrong; the findings
// that remain at the largest scale when none does.
bool FitDialog(const CheckedDialog& d, const DialogCheck& check, std::vector<uint8_t>* bytes,
               const std::string& catalogName, std::string* out, std::string* err) {
  const std::u16string context = d.context;
  std::vector<uint8_t> fitted;
  auto clean = [&](ScalePercent s) {
    std::string why;
    DialogLayout shown;
    return SetScaleEntry(*bytes, SystemAnsi, context, s, &fitted, &why) &&
           MeasureDialog(d, &fitted, &shown, &why) &&
           FindLayoutProblems(check.english, shown).empty();
  };
  ScalePercent fit;
  if (FindFit(clean, &fit) && SetScaleEntry(*bytes, SystemAnsi, context, fit, &fitted, err)) {
    *bytes = fitted;
    *out += KeyText(CatalogKeyCrc(SystemAnsi, kDialogText, context.c_str(), u"")) + "=\"" +
            ToUtf8(ScaleValue(fit)) + "\"\n";
    return true;
  }
  *err += catalogName + ": " + ToUtf8(context) + ": no scale up to " + std::to_string(kFitMost) +
          "*" + std::to_string(kFitMost) + " makes it fit; at that scale still:\n";
  DialogLayout largest;
  if (SetScaleEntry(*bytes, SystemAnsi, context, {kFitMost, kFitMost}, &fitted, err) &&
      MeasureDialog(d, &fitted, &largest, err)) {
    for (const LayoutFinding& f : FindLayoutProblems(check.english, largest)) {
      *err += "  " + f.what + "\n";
    }
  }
  return false;
}
}  // namespace

std::vector<LayoutRect> LayoutFindingPlaces(const wchar_t* dialogName,
                                            const std::vector<uint8_t>& bytes) {
  std::vector<LayoutRect> places;
  std::string ignored;
  for (const CheckedDialog& d : kDialogs) {
    DialogCheck check;
    if (lstrcmpW(d.name, dialogName) == 0 && CheckDialog(d, bytes, &check, &ignored)) {
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
  }
  UseCatalog(nullptr);
  return places;
}

int RunLayout(const LayoutRequest& request, std::string* out, std::string* err) {
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
    *err += "lngtool: warning: the launcher loads no catalog from " + request.catalog +
            "; the dialogs show the module's own texts\n";
  }
  size_t findings = 0;
  bool fitted = true;
  std::vector<uint8_t> rewritten = bytes;
  for (const CheckedDialog& d : kDialogs) {
    DialogCheck check;
    if (!CheckDialog(d, bytes, &check, err)) {
      return kExitFailure;
    }
    for (const LayoutFinding& f : check.findings) {
      *out += Place(request.catalog, file, check.shown, f) + ": " + check.shown.name + ": " +
              f.what + "\n";
    }
    findings += check.findings.size();
    if (request.fit && !check.findings.empty()) {
      fitted = FitDialog(d, check, &rewritten, request.catalog, out, err) && fitted;
    }
  }
  UseCatalog(nullptr);
  *err += "lngtool: " + std::to_string(findings) + (findings == 1 ? " finding\n" : " findings\n");
  if (!request.fit) {
    return findings == 0 ? kExitFine : kExitFindings;
  }
  if (request.write && rewritten != bytes) {
    if (!WriteCatalog(request.catalog, rewritten, err)) {
      return kExitFailure;
    }
    *err += request.catalog + ": the fitted scale entries written\n";
  }
  return fitted ? kExitFine : kExitFindings;
}

}  // namespace lngtool
