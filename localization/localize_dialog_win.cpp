// The walk over a dialog and its controls; the arithmetic is in
// localization/dialog_layout.cpp.
#include <windows.h>

#include "base/bounded_text.h"
#include "base/code_page.h"
#include "base/wide_bridge.h"
#include "localization/dialog_layout.h"
#include "localization/layout_rect_win.h"
#include "localization/localize_dialog.h"

namespace {

constexpr size_t kClassNameCapacity = 2048;

// Texts are set back even when the catalog left them unchanged.
void TranslateWindowText(const MessageCatalog& catalog, HWND window, const char16_t* dialogName) {
  char16_t text[kDialogTextCapacity];
  text[0] = 0;
  GetWindowTextW(window, AsWide(text), static_cast<int>(kDialogTextCapacity));
  if (text[0] == 0) {
    return;
  }
  catalog.Translate(text, text, kDialogTextCapacity, kDialogText, dialogName);
  SetWindowTextW(window, AsWide(text));
}

bool HasClass(HWND control, const char16_t* name) {
  char16_t className[kClassNameCapacity];
  className[0] = 0;
  GetClassNameW(control, AsWide(className), static_cast<int>(kClassNameCapacity));
  return CompareNoCase(className, name) == 0;
}

bool IsDropDownCombo(HWND control) {
  if (!HasClass(control, u"COMBOBOX")) {
    return false;
  }
  constexpr LONG kComboType = CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST;
  return (GetWindowLongW(control, GWL_STYLE) & kComboType) != CBS_SIMPLE;
}

// A static that shows a bitmap, an icon or a metafile; its text names the
// picture.
bool IsPicture(HWND control) {
  const LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
  return (type == SS_BITMAP || type == SS_ICON || type == SS_ENHMETAFILE) &&
         HasClass(control, u"STATIC");
}

// Adds extended styles and repaints the window (its frame too) if it was
// drawn already; a window that has them all is left as it is.
void AddExtendedStyle(HWND window, LONG added) {
  const LONG style = GetWindowLongW(window, GWL_EXSTYLE);
  if ((style & added) == added) {
    return;
  }
  SetWindowLongW(window, GWL_EXSTYLE, style | added);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

// Mirroring lays a control out from the right but leaves its text in
// left-to-right reading order: a sentence of a right-to-left language would
// come out with its words or its full stop in the wrong places. Controls
// whose text is set later (the information text) get it as well.
void ApplyReadingOrder(const MessageCatalog& catalog, HWND control) {
  if (catalog.RightToLeft() && !IsPicture(control)) {
    AddExtendedStyle(control, WS_EX_RTLREADING);
  }
}

struct ControlScaling {
  LayoutScale scale;
  LayoutRect window;  // the dialog's, in its own client coordinates
  FrameSize frame;
  int32_t dialogFrame;
};

void RescaleControl(HWND control, HWND dialog, const ControlScaling& s) {
  ControlPlacement placed =
      PlaceControl(RectInClient(control, dialog), s.window, s.frame, s.dialogFrame, s.scale);
  if (IsDropDownCombo(control)) {
    RECT dropped{};
    SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    AddDroppedHeight(&placed, ToLayout(dropped), s.scale);
  }
  SetWindowPos(control, nullptr, placed.left, placed.top, placed.width, placed.height,
               kMoveAndSize);
}

void ResizeDialog(HWND dialog, const RECT& window, const RECT& client, LayoutScale scale) {
  const bool centered = (GetWindowLongPtrW(dialog, GWL_STYLE) & DS_CENTER) != 0;
  const DialogPlacement p = PlaceDialog(ToLayout(window), ToLayout(client), scale, centered);
  SetWindowPos(dialog, nullptr, p.x, p.y, p.width, p.height, p.flags);
}

}  // namespace

void LocalizeDialog(const MessageCatalog& catalog, WindowHandle handle, const char16_t* dialogName,
                    bool page) {
  const HWND dialog = static_cast<HWND>(handle);
  ControlScaling s{};
  const bool scaling = catalog.GetDialogScale(dialogName, &s.scale.x, &s.scale.y);
  RECT window{};
  RECT client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  // Measured once: the controls are placed by the frame the template gave.
  s.frame = MeasureFrame(ToLayout(window), ToLayout(client));
  if (scaling && !page) {
    ResizeDialog(dialog, window, client, s.scale);
  }
  s.window = RectInClient(dialog, dialog);
  if (!page) {
    TranslateWindowText(catalog, dialog, dialogName);
  }
  s.dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);

  const HWND first = GetWindow(dialog, GW_CHILD);
  HWND control = first;
  for (int visited = 0; control != nullptr && visited < kMostControls; ++visited) {
    ApplyReadingOrder(catalog, control);
    TranslateWindowText(catalog, control, dialogName);
    if (scaling) {
      RescaleControl(control, dialog, s);
    }
    control = GetWindow(control, GW_HWNDNEXT);
    if (control == first) {
      break;
    }
  }
}

void ApplyTextDirection(const MessageCatalog& catalog, WindowHandle handle) {
  if (!catalog.RightToLeft()) {
    return;
  }
  // The reading order too: the title, and a property sheet's tab names.
  AddExtendedStyle(static_cast<HWND>(handle), WS_EX_LAYOUTRTL | WS_EX_RTLREADING);
}

void LocalizeDialog(WindowHandle dialog, const char16_t* dialogName, bool page) {
  LocalizeDialog(TheCatalog, dialog, dialogName, page);
}

void ApplyTextDirection(WindowHandle window) { ApplyTextDirection(TheCatalog, window); }
