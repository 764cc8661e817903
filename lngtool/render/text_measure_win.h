// A control's text measured with GDI in the control's own font, against the
// room the control gives it, as the control lays its text out; and the
// characters that no font of it shows.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "lngtool/render/layout_findings.h"

namespace lngtool {

// What a text needs at a width does not change while a fit tries scales:
// measured once per control and width.
struct TextCache {
  std::map<std::pair<HWND, int>, Extent> needs;
  std::map<HWND, int32_t> lineHeights;
  std::map<HWND, std::u16string> unshown;
};

// The control's text (c->shown) measured in room, as the control lays it
// out; cache may be null.
void MeasureText(HWND control, LONG style, Extent room, ControlLayout* c, TextCache* cache);

// The control as it stands in the dialog, its text measured.
ControlLayout MeasureControl(HWND dialog, HWND control);

// The caption's room: the window less its frame, the icon and the close box.
ControlLayout MeasureTitle(HWND dialog, const std::u16string& source);

}  // namespace lngtool
