// The information dialog "INFODLG", shown while the accepted partner
// installer runs. Only the Win32 edge includes this header.
#pragma once
#include <windows.h>

// Always ends with 1.
INT_PTR CALLBACK ProgressInfoDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
