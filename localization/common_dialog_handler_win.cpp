// The common dialog handler. The program ships no help, so a help request
// (F1) is swallowed here instead of travelling up to the owner window.
#include <windows.h>
// After <windows.h>, which it builds on.
#include <prsht.h>

#include "localization/common_dialog_handler.h"
#include "localization/localize_dialog.h"

namespace {

// No help system comes with the program: nothing to open for any topic.
void RequestHelp(const char16_t* /*topic*/) {}

// A page of a right-to-left property sheet mirrors the sheet and its tab row
// too, before its own layout.
void MirrorPropertySheet(HWND page) {
  const HWND sheet = GetParent(page);
  // The message's result is the tab control's handle.
  const auto tabs = reinterpret_cast<HWND>(  // NOLINT(performance-no-int-to-ptr)
      SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  ApplyTextDirection(sheet);
  if (sheet != nullptr && tabs != nullptr) {
    ApplyTextDirection(tabs);
    InvalidateRect(tabs, nullptr, TRUE);
  }
}

bool IsPageHelp(intptr_t lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);  // NOLINT(performance-no-int-to-ptr)
  return header != nullptr && header->code == PSN_HELP;
}

}  // namespace

bool CommonDialogHandler(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                         const char16_t* dialogName, const char16_t* helpTopic, uint32_t flags) {
  const HWND dialog = static_cast<HWND>(window);
  const bool page = (flags & kPropertySheetPage) != 0;
  switch (message) {
    case WM_SETFONT:
      if (page && TheCatalog.RightToLeft()) {
        MirrorPropertySheet(dialog);
      }
      ApplyTextDirection(dialog);
      return false;
    case WM_NOTIFY:
      if (page && helpTopic != nullptr && IsPageHelp(lParam)) {
        RequestHelp(helpTopic);
      }
      return false;
    case WM_HELP:
      if (helpTopic != nullptr) {
        RequestHelp(helpTopic);
      }
      return true;
    case WM_INITDIALOG:
      LocalizeDialog(dialog, dialogName, page);
      return false;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDHELP && helpTopic != nullptr) {
        RequestHelp(helpTopic);
      }
      return false;
    default:
      return false;
  }
}
