// The first stop of every message a dialog procedure receives: right-to-left
// layout, translation and rescaling of the dialog, and help requests.
#pragma once
#include <cstdint>

using WindowHandle = void*;  // an HWND on Windows

// Bit 0 of the flags: the dialog is a page of a property sheet.
constexpr uint32_t kPropertySheetPage = 0x1;

// dialogName is the template's name ("LAUNCHDLG"), the context of its texts'
// catalog keys; helpTopic may be null. True when the message has been dealt
// with completely and the dialog procedure must return TRUE at once.
bool CommonDialogHandler(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                         const char16_t* dialogName, const char16_t* helpTopic, uint32_t flags);
