// File-system helpers: the plain path first, and only when that fails once
// more through its long form.
#pragma once
#include <cstddef>
#include <cstdint>

// MakeLongPathText with the process's current directory.
bool MakeLongPath(const char16_t* src, char16_t* dst, size_t cap);
uint32_t QueryFileAttributes(const char16_t* path);
bool PathExists(const char16_t* path);  // a directory counts as existing
bool IsFolder(const char16_t* path);
bool RemoveFile(const char16_t* path);
