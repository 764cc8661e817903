// The system ANSI code page and the user's collation, through the real calls.
#include <windows.h>

#include "base/code_page.h"
#include "base/wide_bridge.h"

namespace {
int ClampCapacity(size_t cap) { return cap > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(cap); }
}  // namespace

bool WideToCodePage(uint32_t codePage, const char16_t* src, char* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  const int written =
      WideCharToMultiByte(codePage, 0, AsWide(src), -1, dst, ClampCapacity(cap), nullptr, nullptr);
  dst[cap - 1] = 0;  // a cut text still ends within the buffer
  return written != 0;
}

bool CodePageToWide(uint32_t codePage, const char* src, char16_t* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  const int written = MultiByteToWideChar(codePage, 0, src, -1, AsWide(dst), ClampCapacity(cap));
  dst[cap - 1] = 0;
  return written != 0;
}

bool WideToAnsi(const char16_t* src, char* dst, size_t cap) {
  return WideToCodePage(CP_ACP, src, dst, cap);
}

bool AnsiToWide(const char* src, char16_t* dst, size_t cap) {
  return CodePageToWide(CP_ACP, src, dst, cap);
}

int CompareNoCase(const char16_t* a, const char16_t* b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, AsWide(a), -1,
                        AsWide(b), -1) -
         2;
}

const AnsiCodec SystemAnsi = {WideToAnsi, AnsiToWide};
