// The offer dialog "LAUNCHDLG". Only the Win32 edge includes this header.
#pragma once
#include <windows.h>

// Ends with 1 when the offer was accepted (the installer's start requested),
// with 0 when it was declined or cancelled; the installer file is then gone.
INT_PTR CALLBACK OfferDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
