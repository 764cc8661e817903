// The offer dialog: partner links, the pre-ticked install box, and on OK the
// partner installer's start or its deletion.
#include "launcher/offer_dialog_win.h"
// After <windows.h>, which offer_dialog_win.h brings in.
#include <commctrl.h>

#include "base/bounded_text.h"
#include "base/file_system.h"
#include "base/wide_bridge.h"
#include "launcher/display_scale_win.h"
#include "launcher/installer_and_cleanup.h"
#include "launcher/offer_flow.h"
#include "launcher/offer_text.h"
#include "launcher/progress_info_dialog_win.h"
#include "launcher/shell_open.h"
#include "localization/common_dialog_handler.h"
#include "localization/fetch_string.h"
#include "module/resource_module.h"
#include "resources/resource_ids.h"

namespace {
constexpr int kInstallBox = IDC_INSTALL_BOX;

// The setup leaves the launcher behind other windows more often than not:
// when the plain request is refused, a minimise and restore makes the dialog
// the foreground window on the systems that allow that much.
void BringToFront(HWND dialog) {
  SetForegroundWindow(dialog);
  if (GetForegroundWindow() != dialog) {
    ShowWindow(dialog, SW_MINIMIZE);
    ShowWindow(dialog, SW_RESTORE);
    SetForegroundWindow(dialog);
  }
}

INT_PTR InitOffer(HWND dialog) {
  BringToFront(dialog);
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LauncherIcon));
  CheckDlgButton(dialog, kInstallBox, BST_CHECKED);
  return TRUE;  // the dialog manager focuses the first tab stop
}

// Only a SysLink control's notification carries an NMLINK; a language
// module's template may add controls of other classes that send NM_CLICK
// with a shorter structure.
bool IsSentByLink(const NMHDR* header) {
  wchar_t className[32];
  return GetClassNameW(header->hwndFrom, className, 32) > 0 &&
         CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, className, -1, WC_LINK, -1) ==
             CSTR_EQUAL;
}

void OpenActivatedLink(const NMHDR* header) {
  char16_t url[L_MAX_URL_LENGTH];
  if (LinkToOpen(header, url, L_MAX_URL_LENGTH)) OpenAsUser(url, ShellShow::kShow);
}

void ShowInformation(void* owner) {
  DialogBoxParamW(static_cast<HINSTANCE>(ActiveModule), AsWide(kInfoDialogName),
                  static_cast<HWND>(owner), ProgressInfoDialog, 0);
}

void Accept(HWND dialog) {
  LockSetForegroundWindow(LSFW_LOCK);
  CarryOutAcceptedOffer(InstallerPath, FetchString, ShowInformation, dialog);
  LockSetForegroundWindow(LSFW_UNLOCK);
  EndDialog(dialog, 1);
}

// A cancelled offer is a declined one: the installer is removed either way,
// as on every road that shows no dialog.
void Decline(HWND dialog) {
  RemoveFile(InstallerPath);
  EndDialog(dialog, 0);
}

void HandleCommand(HWND dialog, WORD command) {
  switch (command) {
    case IDOK:
      if (IsDlgButtonChecked(dialog, kInstallBox) != BST_UNCHECKED) {
        Accept(dialog);
      } else {
        Decline(dialog);
      }
      break;
    case IDCANCEL:
      Decline(dialog);
      break;
    default:
      break;  // the check box's own clicks and anything else
  }
}
}  // namespace

// Both links hold one anchor each, so index 0 is the only one there is. The
// markup may come from a catalog the user can write: only a web address is
// opened.
bool LinkToOpen(const NMHDR* header, char16_t* url, size_t cap) {
  url[0] = 0;
  if (header->code != NM_CLICK && header->code != NM_RETURN) return false;
  if (!IsSentByLink(header)) return false;
  const NMLINK* link = reinterpret_cast<const NMLINK*>(header);
  if (link->item.iLink != 0) return false;
  // The control terminates its text; the copy is bounded by the array all the same.
  CopyBounded(url, AsUtf16(link->item.szUrl), cap < L_MAX_URL_LENGTH ? cap : L_MAX_URL_LENGTH);
  if (IsWebAddress(url)) return true;
  url[0] = 0;
  return false;
}

INT_PTR CALLBACK OfferDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ShowLogoAtScale(dialog, message, AsWide(kOfferLogoName));
  if (CommonDialogHandler(dialog, message, wParam, lParam, kOfferDialogName, nullptr, 0)) {
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      return InitOffer(dialog);
    case WM_NOTIFY:
      OpenActivatedLink(reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    case WM_COMMAND:
      HandleCommand(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}
