// "lngtool layout": both dialogs created as the launcher creates them (its
// own dialog procedures, so CommonDialogHandler translates, mirrors and
// rescales them), then every control's text measured in the control's own
// font against the room the control gives it.
#include <windows.h>
// After <windows.h>, which it builds on.
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/bounded_text.h"
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
#include "localization/dialog_layout.h"
#include "localization/layout_rect_win.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"
#include "resources/resource_ids.h"

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

// The geometry the launcher's rescaling starts from, before it runs: what
// every candidate scale of a fit is computed from again.
struct TemplateGeometry {
  LayoutRect window{};
  LayoutRect client{};
  LayoutRect self{};  // the dialog's own window rectangle in its client coordinates
  bool centered = false;
  std::vector<LayoutRect> controls;
};
TemplateGeometry gGeometry;

// Records the template texts and geometry, then hands the message on unchanged.
void RecordGeometry(HWND dialog) {
  gGeometry.controls.clear();
  RECT window{};
  RECT client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  gGeometry.window = ToLayout(window);
  gGeometry.client = ToLayout(client);
  gGeometry.self = RectInClient(dialog, dialog);
  gGeometry.centered = (GetWindowLongPtrW(dialog, GWL_STYLE) & DS_CENTER) != 0;
  for (HWND c = GetWindow(dialog, GW_CHILD);
       c != nullptr && gGeometry.controls.size() < kMostControls; c = GetWindow(c, GW_HWNDNEXT)) {
    gGeometry.controls.push_back(RectInClient(c, dialog));
  }
}

// Set while the dialog initialises: the launcher's procedure may change
// controls (a logo at the display's scale) before it rescales the dialog,
// whose resizing then shows the geometry the rescaling starts from.
bool gInitialising = false;

// Records the template texts and geometry, then hands the message on unchanged.
INT_PTR CALLBACK Recording(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    gSources.clear();
    gTitleSource = WindowText(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && gSources.size() < kMostControls;
         c = GetWindow(c, GW_HWNDNEXT)) {
      gSources.push_back(WindowText(c));
    }
    RecordGeometry(dialog);
    gInitialising = true;
    const INT_PTR result = gInner(dialog, message, wParam, lParam);
    gInitialising = false;
    return result;
  }
  if (message == WM_WINDOWPOSCHANGING && gInitialising) {
    RecordGeometry(dialog);  // before the change
    gInitialising = false;
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

HGDIOBJ ControlFont(HWND control) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  return font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT);
}

Extent DrawnExtent(HWND control, const std::u16string& text, int width, UINT flags) {
  const ScopedGetDc dc(control);
  const ScopedSelectObject selected(dc.Get(), ControlFont(control));
  RECT r = {0, 0, width, 0};
  DrawTextW(dc.Get(), AsWide(text.c_str()), -1, &r, flags | DT_CALCRECT);
  return {r.right - r.left, r.bottom - r.top};
}

int32_t LineHeight(HWND control) {
  const ScopedGetDc dc(control);
  const ScopedSelectObject selected(dc.Get(), ControlFont(control));
  TEXTMETRICW metrics = {};
  return GetTextMetricsW(dc.Get(), &metrics) ? metrics.tmHeight : 0;
}

// What a text needs at a width does not change while a fit tries scales:
// measured once per control and width.
struct TextCache {
  std::map<std::pair<HWND, int>, Extent> needs;
  std::map<HWND, int32_t> lineHeights;
  std::map<HWND, std::u16string> unshown;
};
TextCache* gCache = nullptr;

// The faces the system links to face for the characters it lacks, in order.
std::vector<std::wstring> LinkedFaces(const wchar_t* face) {
  std::vector<std::wstring> faces;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink", 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return faces;
  }
  DWORD type = 0;
  DWORD size = 0;
  std::vector<wchar_t> value;
  if (RegQueryValueExW(key, face, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ) {
    value.resize(size / sizeof(wchar_t) + 2, L'\0');
    RegQueryValueExW(key, face, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
  }
  RegCloseKey(key);
  // Each entry is "FILE,Face[,scaling...]"; one of a file alone names no face.
  for (size_t at = 0; at < value.size() && value[at] != L'\0';) {
    const std::wstring entry(&value[at]);
    at += entry.size() + 1;
    const size_t comma = entry.find(L',');
    if (comma != std::wstring::npos) {
      faces.push_back(entry.substr(comma + 1, entry.find(L',', comma + 1) - comma - 1));
    }
  }
  return faces;
}

// Marks in *unshown (one flag per unit of text) what the font selected into
// dc lacks among the marked.
void MarkLacking(HDC dc, const std::u16string& text, std::vector<bool>* unshown) {
  std::vector<WORD> glyphs(text.size(), 0);
  if (GetGlyphIndicesW(dc, AsWide(text.c_str()), static_cast<int>(text.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    (*unshown)[i] = (*unshown)[i] && glyphs[i] == 0xFFFF;
  }
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c < 0xE000; }

// The characters of text that neither the control's font nor a font the
// system links to it shows, each once: the fallback GDI takes when it draws.
std::u16string Unshown(HDC dc, HGDIOBJ font, const std::u16string& text) {
  const ScopedSelectObject selected(dc, font);
  std::vector<bool> unshown(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unshown[i] = text[i] >= 0x20 && text[i] != 0x7F;
  }
  MarkLacking(dc, text, &unshown);
  wchar_t face[LF_FACESIZE] = {};
  LOGFONTW wanted = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  GetObjectW(font, sizeof wanted, &wanted);
  for (const std::wstring& linked : LinkedFaces(face)) {
    if (std::find(unshown.begin(), unshown.end(), true) == unshown.end()) {
      break;
    }
    LOGFONTW lf = wanted;
    lstrcpynW(lf.lfFaceName, linked.c_str(), LF_FACESIZE);
    const ScopedGdiObject<HFONT> other(CreateFontIndirectW(&lf));
    const ScopedSelectObject inner(dc, other.Get());
    wchar_t got[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, got);
    // A face the system lacks is replaced by another, which links nothing.
    if (lstrcmpiW(got, linked.c_str()) == 0) {
      MarkLacking(dc, text, &unshown);
    }
  }
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = IsSurrogate(text[i]) && i + 1 < text.size() && IsSurrogate(text[i + 1]);
    const std::u16string c = text.substr(i, pair ? 2 : 1);
    if (unshown[i] && out.find(c) == std::u16string::npos) {
      out += c;
    }
    i += pair ? 1 : 0;
  }
  return out;
}

std::u16string UnshownInControl(HWND control, const std::u16string& text) {
  const auto measure = [&] {
    const ScopedGetDc dc(control);
    return Unshown(dc.Get(), ControlFont(control), text);
  };
  if (gCache == nullptr) {
    return measure();
  }
  const auto it = gCache->unshown.find(control);
  return it != gCache->unshown.end() ? it->second : (gCache->unshown[control] = measure());
}

template <typename Measure>
Extent Cached(HWND control, int width, Measure measure) {
  if (gCache == nullptr) {
    return measure();
  }
  const auto key = std::make_pair(control, width);
  const auto it = gCache->needs.find(key);
  if (it != gCache->needs.end()) {
    return it->second;
  }
  return gCache->needs[key] = measure();
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
  c->wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
  flags |= c->wraps ? DT_WORDBREAK : DT_SINGLELINE;
  c->has = room;
  c->needs = Cached(control, room.cx, [&] { return DrawnExtent(control, text, room.cx, flags); });
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
  c->wraps = lines == DT_WORDBREAK;
  c->needs = Cached(control, c->has.cx,
                    [&] { return DrawnExtent(control, text, c->has.cx, lines | DT_EXPANDTABS); });
  return true;
}

bool MeasureLink(HWND control, const std::u16string& text, Extent room, ControlLayout* c) {
  c->has = room;
  c->wraps = true;
  c->needs = Cached(control, room.cx, [&]() -> Extent {
    SIZE ideal = {};
    if (SendMessageW(control, kLinkIdealSize, static_cast<WPARAM>(room.cx),
                     reinterpret_cast<LPARAM>(&ideal)) > 0) {
      return {ideal.cx, ideal.cy};
    }
    return DrawnExtent(control, WithoutMarkup(text), room.cx, DT_WORDBREAK | DT_NOPREFIX);
  });
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

// The control's text measured in the room it has, as the control lays it out.
void MeasureText(HWND control, LONG style, Extent room, ControlLayout* c) {
  if (c->shown.empty() || (style & WS_VISIBLE) == 0) {
    return;
  }
  if (SameName(c->className, "Static")) {
    c->measured = MeasureStatic(control, style, c->shown, room, c);
  } else if (SameName(c->className, "Button")) {
    c->measured = MeasureButton(control, style, c->shown, room, c);
  } else if (SameName(c->className, "SysLink")) {
    c->measured = MeasureLink(control, c->shown, room, c);
  }
  if (c->measured) {
    c->unshown = UnshownInControl(
        control, SameName(c->className, "SysLink") ? WithoutMarkup(c->shown) : c->shown);
  }
  if (c->measured && c->wraps) {
    if (gCache == nullptr) {
      c->lineHeight = LineHeight(control);
    } else {
      const auto it = gCache->lineHeights.find(control);
      c->lineHeight = it != gCache->lineHeights.end()
                          ? it->second
                          : (gCache->lineHeights[control] = LineHeight(control));
    }
  }
}

ControlLayout MeasureControl(HWND dialog, HWND control) {
  ControlLayout c;
  c.id = static_cast<int16_t>(GetDlgCtrlID(control));
  c.className = ClassName(control);
  c.shown = WindowText(control);
  c.place = PlaceInClient(dialog, control);
  RECT client;
  GetClientRect(control, &client);
  MeasureText(control, GetWindowLongW(control, GWL_STYLE), {client.right, client.bottom}, &c);
  return c;
}

// The caption's room: the window less its frame, the icon and the close box.
// windowWidth: the dialog's, or -1 for its width as it is.
ControlLayout MeasureTitle(HWND dialog, const std::u16string& source, int32_t windowWidth = -1) {
  ControlLayout t;
  t.source = source;
  t.shown = WindowText(dialog);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  RECT window;
  GetWindowRect(dialog, &window);
  if (windowWidth >= 0) {
    window.right = window.left + windowWidth;
  }
  if (t.shown.empty() ||
      !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return t;
  }
  const LONG style = GetWindowLongW(dialog, GWL_STYLE);
  int taken = 2 * GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CXSMICON) + 4;
  taken += (style & WS_SYSMENU) != 0 ? metrics.iCaptionWidth : 0;
  t.needs = Cached(dialog, -1, [&]() -> Extent {
    const ScopedGdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfCaptionFont));
    RECT r = {0, 0, 0, 0};
    const ScopedGetDc dc(dialog);
    const ScopedSelectObject selected(dc.Get(), font.Get());
    DrawTextW(dc.Get(), AsWide(t.shown.c_str()), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {r.right - r.left, 0};
  });
  if (windowWidth < 0) {
    const ScopedGdiObject<HFONT> font(CreateFontIndirectW(&metrics.lfCaptionFont));
    const ScopedGetDc dc(dialog);
    t.unshown = Unshown(dc.Get(), font.Get(), t.shown);
  }
  t.measured = true;
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

// The dialog as the launcher creates it with the catalog of bytes (none: the
// module's own texts), kept open; the template's geometry in *geometry.
HWND OpenDialog(const CheckedDialog& d, const std::vector<uint8_t>* bytes,
                TemplateGeometry* geometry, std::string* err) {
  UseCatalog(bytes);
  gInner = d.procedure;
  HWND dialog =
      CreateDialogParamW(static_cast<HINSTANCE>(ActiveModule), d.name, nullptr, Recording, 0);
  if (dialog == nullptr) {
    *err +=
        "lngtool: the dialog " + ToUtf8(d.context) + " cannot be created from the active module\n";
    return nullptr;
  }
  if (geometry != nullptr) {
    *geometry = gGeometry;
  }
  return dialog;
}

void MeasureOpen(const CheckedDialog& d, HWND dialog, DialogLayout* out) {
  out->name = ToUtf8(d.context);
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
}

void CloseDialog(HWND dialog) {
  DestroyWindow(dialog);
  Drain();
}

// The dialog as the launcher shows it with the catalog of bytes, measured.
bool MeasureDialog(const CheckedDialog& d, const std::vector<uint8_t>* bytes, DialogLayout* out,
                   std::string* err) {
  out->name = ToUtf8(d.context);
  HWND dialog = OpenDialog(d, bytes, nullptr, err);
  if (dialog == nullptr) {
    return false;
  }
  MeasureOpen(d, dialog, out);
  CloseDialog(dialog);
  return true;
}

// The dialog as the launcher's rescaling would show it at scale, from the
// template's geometry, step by step as its dialog localization takes them:
// the dialog resized first, then each control placed against it. The texts
// are measured in the open dialog's controls at the widths they would get.
struct OpenControl {
  HWND window = nullptr;
  LONG style = 0;
  Extent border;  // the control's window less its client area
  ControlLayout layout;
};

// What the foreseeing needs of the open dialog, asked once.
struct OpenModel {
  HWND dialog = nullptr;
  TemplateGeometry geometry;
  int32_t dialogFrame = 0;
  std::vector<OpenControl> controls;
  ControlLayout title;
  int32_t titleTaken = 0;  // the window's width the caption's text cannot use
};

OpenModel Model(HWND dialog, const TemplateGeometry& g) {
  OpenModel m;
  m.dialog = dialog;
  m.geometry = g;
  m.dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);
  size_t i = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && i < g.controls.size();
       c = GetWindow(c, GW_HWNDNEXT), ++i) {
    OpenControl o;
    o.window = c;
    o.style = GetWindowLongW(c, GWL_STYLE);
    o.layout.id = static_cast<int16_t>(GetDlgCtrlID(c));
    o.layout.className = ClassName(c);
    o.layout.shown = WindowText(c);
    o.layout.source = i < gSources.size() ? gSources[i] : u"";
    RECT outer;
    RECT inner;
    GetWindowRect(c, &outer);
    GetClientRect(c, &inner);
    o.border = {outer.right - outer.left - inner.right, outer.bottom - outer.top - inner.bottom};
    m.controls.push_back(o);
  }
  RECT window;
  GetWindowRect(dialog, &window);
  m.title = MeasureTitle(dialog, gTitleSource);
  m.titleTaken = window.right - window.left - m.title.has.cx;
  return m;
}

void Predict(const CheckedDialog& d, const OpenModel& m, ScalePercent scale, DialogLayout* out) {
  const TemplateGeometry& g = m.geometry;
  const LayoutScale s = {scale.x, scale.y};
  const FrameSize frame = MeasureFrame(g.window, g.client);
  const DialogPlacement p = PlaceDialog(g.window, g.client, s, g.centered);
  const int32_t grownX = p.width - (g.window.right - g.window.left);
  const int32_t grownY = p.height - (g.window.bottom - g.window.top);
  // Mirrored or not, the dialog's own rectangle keeps its left edge in its
  // client coordinates as it grows (the dialog created at a scale checks).
  const LayoutRect window = g.self;
  out->name = ToUtf8(d.context);
  out->client = {g.client.right + grownX, g.client.bottom + grownY};
  out->controls.clear();
  for (size_t i = 0; i < m.controls.size(); ++i) {
    const OpenControl& o = m.controls[i];
    const ControlPlacement placed = PlaceControl(g.controls[i], window, frame, m.dialogFrame, s);
    ControlLayout control = o.layout;
    control.place = {placed.left, placed.top, placed.left + placed.width,
                     placed.top + placed.height};
    MeasureText(o.window, o.style, {placed.width - o.border.cx, placed.height - o.border.cy},
                &control);
    out->controls.push_back(control);
  }
  out->title = m.title;
  if (out->title.measured) {
    out->title.has.cx = p.width - m.titleTaken;
  }
}

// Whether a scale entry has anything to remove.
bool AnyGrowable(const std::vector<LayoutFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(), Growable);
}

bool SameExtent(const Extent& a, const Extent& b) { return a.cx == b.cx && a.cy == b.cy; }

bool SameLayout(const DialogLayout& a, const DialogLayout& b) {
  if (!SameExtent(a.client, b.client) || a.controls.size() != b.controls.size() ||
      !SameExtent(a.title.has, b.title.has)) {
    return false;
  }
  for (size_t i = 0; i < a.controls.size(); ++i) {
    const ControlLayout& x = a.controls[i];
    const ControlLayout& y = b.controls[i];
    if (x.place.left != y.place.left || x.place.top != y.place.top ||
        x.place.right != y.place.right || x.place.bottom != y.place.bottom ||
        !SameExtent(x.needs, y.needs) || !SameExtent(x.has, y.has)) {
      return false;
    }
  }
  return true;
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
  if (AboutText(f) && shown.name == "INFODLG" && control.id == IDC_INFO_TEXT &&
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

bool CheckDialog(const CheckedDialog& d, const std::vector<uint8_t>& bytes, DialogCheck* check,
                 std::string* err) {
  if (!MeasureDialog(d, nullptr, &check->english, err) ||
      !MeasureDialog(d, &bytes, &check->shown, err)) {
    return false;
  }
  check->findings = FindLayoutProblems(check->english, check->shown);
  return true;
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  // A new file beside the old one replaces it only once it is whole.
  const std::string temporary = path + ".lngtool-new";
  const std::u16string from = FullPath(temporary);
  const std::u16string to = FullPath(path);
  if (!WriteWholeFile(temporary, bytes) ||
      !MoveFileExW(AsWide(from.c_str()), AsWide(to.c_str()),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(AsWide(from.c_str()));
    return false;
  }
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
bool CleanScales(const CheckedDialog& d, const DialogCheck& check,
                 const std::vector<uint8_t>& bytes, FitData* data, std::string* err) {
  const std::u16string context = d.context;
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
  TemplateGeometry geometry;
  HWND dialog = OpenDialog(d, &probeBytes, &geometry, err);
  if (dialog == nullptr) {
    return false;
  }
  DialogLayout probe;
  MeasureOpen(d, dialog, &probe);
  const OpenModel model = Model(dialog, geometry);
  TextCache cache;
  auto predicted = [&](ScalePercent s, DialogLayout* shown) {
    gCache = &cache;
    Predict(d, model, s, shown);
    gCache = nullptr;
  };
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
  CloseDialog(dialog);
  return true;
}

int SessionDpi() {
  const ScopedGetDc screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

std::string ScaleName(int dpi) { return "at " + std::to_string(dpi) + " DPI"; }

std::string ResultPath(const std::string& folder, int dpi, const char* ending) {
  return folder + "\\dpi-" + std::to_string(dpi) + ending;
}

// The other sessions' clean scales, each as soon as its session has written
// them; false when one failed or none came.
bool AwaitOthers(const LayoutRequest& request, int own,
                 std::vector<std::map<std::string, FitData>>* all, std::string* err) {
  constexpr DWORD kMostWait = 600000;
  const DWORD start = GetTickCount();
  for (int dpi : request.dpis) {
    if (dpi == own) {
      continue;
    }
    const std::u16string done = FullPath(ResultPath(request.results, dpi, ".txt"));
    const std::u16string failed = FullPath(ResultPath(request.results, dpi, ".failed"));
    while (GetFileAttributesW(AsWide(done.c_str())) == INVALID_FILE_ATTRIBUTES) {
      if (GetFileAttributesW(AsWide(failed.c_str())) != INVALID_FILE_ATTRIBUTES ||
          GetTickCount() - start > kMostWait) {
        *err += "lngtool: " + ScaleName(dpi) + ": no measurement for the fit\n";
        return false;
      }
      Sleep(20);
    }
    std::vector<uint8_t> bytes;
    std::map<std::string, FitData> parsed;
    if (!ReadWholeFile(ResultPath(request.results, dpi, ".txt"), &bytes) ||
        !ParseFitData(std::string(bytes.begin(), bytes.end()), &parsed)) {
      *err += "lngtool: " + ScaleName(dpi) + ": the fit's measurement cannot be read\n";
      return false;
    }
    all->push_back(parsed);
  }
  return true;
}

// The smallest scale, growing what the findings need at any display scale,
// at which the dialog shows nothing wrong at all of them; the findings that
// remain at the largest scale here when none does.
bool FitDialog(const CheckedDialog& d, const DialogCheck& check, const std::vector<FitData>& atEach,
               std::vector<uint8_t>* bytes, const std::string& catalogName, std::string* out,
               std::string* err) {
  const std::u16string context = d.context;
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

bool ScalesUsable(const LayoutRequest& request, int session, std::string* err) {
  if (std::find(request.dpis.begin(), request.dpis.end(), session) == request.dpis.end()) {
    *err += "lngtool: this session shows " + std::to_string(session) +
            " DPI, which is not one of the scales asked for\n";
    return false;
  }
  if (request.dpis.size() > 1 && request.results.empty()) {
    *err +=
        "lngtool: a session shows one scale only: measure each in a session of its own "
        "(tools/lngtool-layout does)\n";
    return false;
  }
  return true;
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

int RunLayout(const LayoutRequest& given, std::string* out, std::string* err) {
  LayoutRequest request = given;
  const int session = SessionDpi();
  if (request.dpis.empty()) {
    request.dpis.push_back(session);
  }
  if (!ScalesUsable(request, session, err)) {
    return kExitFailure;
  }
  // The first scale's session gathers the others' measurements for the fit.
  const bool gathers = request.dpis.front() == session;
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
  for (const CheckedDialog& d : kDialogs) {
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
  if (!gathers) {
    const std::string text = FormatFitData(own);
    if (!WriteWhole(ResultPath(request.results, session, ".txt"),
                    std::vector<uint8_t>(text.begin(), text.end()))) {
      *err += "lngtool: cannot write the fit's measurement into " + request.results + "\n";
      return kExitFailure;
    }
    return lasting ? kExitFindings : kExitFine;
  }
  std::vector<std::map<std::string, FitData>> all = {own};
  if (!AwaitOthers(request, session, &all, err)) {
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
      fitted = FitDialog(kDialogs[i], checks[i], atEach, &rewritten, request.catalog, out, err) &&
               fitted;
    }
  }
  UseCatalog(nullptr);
  if (request.write && rewritten != bytes) {
    if (!WriteWhole(request.catalog, rewritten)) {
      *err += "lngtool: cannot write " + request.catalog + "; it is left as it was\n";
      return kExitFailure;
    }
    *err += request.catalog + ": the fitted scale entries written\n";
  }
  return fitted && !lasting ? kExitFine : kExitFindings;
}

}  // namespace lngtool
