// Window rectangles as the rescaling reads them, for the launcher's
// localization and lngtool's layout check alike. Only the Win32 edge
// includes this header.
#pragma once
#include <windows.h>

#include "localization/dialog_layout.h"

inline LayoutRect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A rectangle mapped into or out of a mirrored window comes back with left
// and right exchanged: the same rectangle with its edges in order.
inline LayoutRect InOrder(LayoutRect r) {
  if (r.left > r.right) {
    const int32_t left = r.right;
    r.right = r.left;
    r.left = left;
  }
  return r;
}

// A window's rectangle in the dialog's client coordinates. For a mirrored
// dialog these count from the client area's right edge, as its children are
// placed; unmirrored they differ from screen coordinates only by a shift.
inline LayoutRect RectInClient(HWND window, HWND dialog) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  return ToLayout(r);
}
