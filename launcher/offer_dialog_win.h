// The offer dialog "LAUNCHDLG". Only the Win32 edge includes this header.
#pragma once
#include <windows.h>

// Ends with 1 when the offer was accepted (the installer's start requested),
// with 0 when it was declined or cancelled; the installer file is then gone.
INT_PTR CALLBACK OfferDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The page a WM_NOTIFY of the offer dialog asks to open: true, with the URL
// in url, only for a click or Enter on a SysLink control's first link whose
// target is a web address (IsWebAddress).
bool LinkToOpen(const NMHDR* header, char16_t* url, size_t cap);
