// The signed-in user's desktop shell, reached over COM. Only the Win32 edge
// includes this header.
#pragma once
#include <cstdint>

// Opens target with the verb "open" in the desktop shell's own process, so
// that what it starts runs as the user and unelevated; false when no desktop
// shell answers. The calling thread must have COM.
bool WinOpenWithDesktopShell(const char16_t* target, uint16_t show);
