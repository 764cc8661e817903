// Translation, right-to-left layout and rescaling of a dialog after the
// platform has created it from its template. Only the Win32 edge calls these.
#pragma once
#include "localization/message_catalog.h"

using WindowHandle = void*;  // an HWND on Windows

// The most controls of a dialog that are localized (and that lngtool measures).
constexpr int kMostControls = 512;

// Translates the dialog's title (not for a page of a property sheet) and its
// controls' texts, with dialogName as the context of their keys, and rescales
// the dialog (again not a page) and its controls by the dialog's percentages.
// In a right-to-left language every control but a picture reads right to left.
void LocalizeDialog(WindowHandle dialog, const char16_t* dialogName, bool page);
// Gives the window a mirrored (right-to-left) layout and right-to-left
// reading order when the catalog's language is written right to left.
void ApplyTextDirection(WindowHandle window);

// The same with a catalog of the caller's instead of TheCatalog.
void LocalizeDialog(const MessageCatalog& catalog, WindowHandle dialog, const char16_t* dialogName,
                    bool page);
void ApplyTextDirection(const MessageCatalog& catalog, WindowHandle window);
