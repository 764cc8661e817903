// The one place where the core's char16_t text meets the Win32 API's wchar_t.
// Both are 16-bit UTF-16 code units on Windows, so the bridge is a pointer
// cast; the Windows build is compiled with -fno-strict-aliasing so that GCC
// may not assume the two pointer types never alias (MSVC never assumes it).
// Only the Win32 edge includes this header.
#pragma once

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the bridge needs a 16-bit wchar_t");

inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline char16_t* AsUtf16(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }
inline const char16_t* AsUtf16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}
