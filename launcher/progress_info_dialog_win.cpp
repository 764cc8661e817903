// The information dialog: one text composed of four string-table parts.
#include "launcher/progress_info_dialog_win.h"

#include "base/bounded_text.h"
#include "base/wide_bridge.h"
#include "launcher/display_scale_win.h"
#include "launcher/offer_text.h"
#include "localization/common_dialog_handler.h"
#include "localization/fetch_string.h"
#include "module/resource_module.h"
#include "resources/resource_ids.h"

namespace {
constexpr int kInfoTextControl = IDC_INFO_TEXT;

INT_PTR InitInfo(HWND dialog) {
  char16_t text[kDialogTextCapacity];
  ComposeInfoText(text, FetchString);
  SetDlgItemTextW(dialog, kInfoTextControl, AsWide(text));
  return TRUE;
}
}  // namespace

INT_PTR CALLBACK ProgressInfoDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ShowLogoAtScale(dialog, message, AsWide(kInfoLogoName));
  if (CommonDialogHandler(dialog, message, wParam, lParam, kInfoDialogName, nullptr, 0)) {
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      return InitInfo(dialog);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
      return TRUE;
    default:
      return FALSE;
  }
}
