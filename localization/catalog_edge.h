// What the catalog needs from the platform: the program's own path and the
// right-to-left marker resource of the active module.
#pragma once
#include <cstddef>

// The full path of the program's executable (GetModuleFileNameW for the main
// module); false when it cannot be had whole.
bool OwnExecutablePath(char16_t* dst, size_t cap);

// ActiveModule holds a dialog resource named "RTL".
bool ActiveModuleHasRtlDialog();
