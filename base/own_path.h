// The program's own executable path: the one way to ask for it.
#pragma once
#include <cstddef>

// The full path of the program's executable; false and dst empty when it
// cannot be had whole (a cut path names another file).
bool OwnExecutablePath(char16_t* dst, size_t cap);
