#include "lngtool/render/text_measure_win.h"
// After <windows.h>, which it builds on.
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "lngtool/render/launcher_host_win.h"
#include "localization/layout_rect_win.h"

namespace lngtool {
namespace {
// LM_GETIDEALSIZE: the message of the ideal height, which fills the SIZE that
// lParam points to as well; not every header names it.
constexpr UINT kLinkIdealSize = LM_GETIDEALHEIGHT;

bool SameName(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

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

// The faces the system links to face for the characters it lacks, in order.
std::vector<std::wstring> LinkedFaces(const wchar_t* face) {
  std::vector<std::wstring> faces;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink", 0,
                    KEY_READ, &opened) != ERROR_SUCCESS) {
    return faces;
  }
  const ScopedRegistryKey key(opened);
  DWORD type = 0;
  DWORD size = 0;
  std::vector<wchar_t> value;
  if (RegQueryValueExW(key.Get(), face, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ) {
    value.resize(size / sizeof(wchar_t) + 2, L'\0');
    RegQueryValueExW(key.Get(), face, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
  }
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

std::u16string UnshownInControl(HWND control, const std::u16string& text, TextCache* cache) {
  const auto measure = [&] {
    const ScopedGetDc dc(control);
    return Unshown(dc.Get(), ControlFont(control), text);
  };
  if (cache == nullptr) {
    return measure();
  }
  const auto it = cache->unshown.find(control);
  return it != cache->unshown.end() ? it->second : (cache->unshown[control] = measure());
}

template <typename Measure>
Extent Cached(TextCache* cache, HWND control, int width, Measure measure) {
  if (cache == nullptr) {
    return measure();
  }
  const auto key = std::make_pair(control, width);
  const auto it = cache->needs.find(key);
  if (it != cache->needs.end()) {
    return it->second;
  }
  return cache->needs[key] = measure();
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
                   ControlLayout* c, TextCache* cache) {
  const LONG type = style & SS_TYPEMASK;
  if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
      type != SS_SIMPLE) {
    return false;
  }
  UINT flags = DT_EXPANDTABS | ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0);
  c->wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
  flags |= c->wraps ? DT_WORDBREAK : DT_SINGLELINE;
  c->has = room;
  c->needs =
      Cached(cache, control, room.cx, [&] { return DrawnExtent(control, text, room.cx, flags); });
  return true;
}

bool MeasureButton(HWND control, LONG style, const std::u16string& text, Extent room,
                   ControlLayout* c, TextCache* cache) {
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
  c->needs = Cached(cache, control, c->has.cx,
                    [&] { return DrawnExtent(control, text, c->has.cx, lines | DT_EXPANDTABS); });
  return true;
}

bool MeasureLink(HWND control, const std::u16string& text, Extent room, ControlLayout* c,
                 TextCache* cache) {
  c->has = room;
  c->wraps = true;
  c->needs = Cached(cache, control, room.cx, [&]() -> Extent {
    SIZE ideal = {};
    if (SendMessageW(control, kLinkIdealSize, static_cast<WPARAM>(room.cx),
                     reinterpret_cast<LPARAM>(&ideal)) > 0) {
      return {ideal.cx, ideal.cy};
    }
    return DrawnExtent(control, WithoutMarkup(text), room.cx, DT_WORDBREAK | DT_NOPREFIX);
  });
  return true;
}

}  // namespace

void MeasureText(HWND control, LONG style, Extent room, ControlLayout* c, TextCache* cache) {
  if (c->shown.empty() || (style & WS_VISIBLE) == 0) {
    return;
  }
  if (SameName(c->className, "Static")) {
    c->measured = MeasureStatic(control, style, c->shown, room, c, cache);
  } else if (SameName(c->className, "Button")) {
    c->measured = MeasureButton(control, style, c->shown, room, c, cache);
  } else if (SameName(c->className, "SysLink")) {
    c->measured = MeasureLink(control, c->shown, room, c, cache);
  }
  if (c->measured) {
    c->unshown = UnshownInControl(
        control, SameName(c->className, "SysLink") ? WithoutMarkup(c->shown) : c->shown, cache);
  }
  if (c->measured && c->wraps) {
    if (cache == nullptr) {
      c->lineHeight = LineHeight(control);
    } else {
      const auto it = cache->lineHeights.find(control);
      c->lineHeight = it != cache->lineHeights.end()
                          ? it->second
                          : (cache->lineHeights[control] = LineHeight(control));
    }
  }
}

ControlLayout MeasureControl(HWND dialog, HWND control) {
  ControlLayout c;
  c.id = static_cast<int16_t>(GetDlgCtrlID(control));
  c.className = ClassName(control);
  c.shown = WindowText(control);
  c.place = InOrder(RectInClient(control, dialog));
  RECT client;
  GetClientRect(control, &client);
  MeasureText(control, GetWindowLongW(control, GWL_STYLE), {client.right, client.bottom}, &c,
              nullptr);
  return c;
}

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
  const ScopedGetDc dc(dialog);
  {
    RECT r = {0, 0, 0, 0};
    const ScopedSelectObject selected(dc.Get(), font.Get());
    DrawTextW(dc.Get(), AsWide(t.shown.c_str()), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    t.needs = {r.right - r.left, 0};
  }
  t.unshown = Unshown(dc.Get(), font.Get(), t.shown);
  t.measured = true;
  t.has = {window.right - window.left - taken, 0};
  return t;
}

}  // namespace lngtool
