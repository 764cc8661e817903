// The native build's ANSI code page is Windows-1252, converted by table. There
// is no best-fit mapping: a character the code page lacks becomes '?', which
// is what the system's replacement character is for this code page.
#include <cstdint>

#include "base/code_page.h"

namespace {
// Code points of the bytes 0x80 to 0x9F; the five bytes the code page leaves
// undefined map to the control character of the same value, as on Windows.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ByteToUnit(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
}

char UnitToByte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
    return static_cast<char>(unit);
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (kHighControls[i] == unit) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// Case folding for the comparison: ASCII and the Latin-1 letters.
uint32_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') {
    return c - 0x20u;
  }
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
    return c - 0x20u;
  }
  if (c == 0xFF) {
    return 0x178;
  }
  return c;
}
}  // namespace

bool WideToAnsi(const char16_t* src, char* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  size_t n = 0;
  for (;; ++src) {
    if (n == cap) {
      dst[cap - 1] = 0;
      return false;
    }
    // One character is one byte, a surrogate pair included.
    if (IsHighSurrogate(src[0]) && IsLowSurrogate(src[1])) {
      ++src;
    }
    dst[n++] = UnitToByte(*src);
    if (*src == 0) {
      return true;
    }
  }
}

bool AnsiToWide(const char* src, char16_t* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  for (size_t n = 0;; ++n, ++src) {
    if (n == cap) {
      dst[cap - 1] = 0;
      return false;
    }
    dst[n] = ByteToUnit(static_cast<unsigned char>(*src));
    if (*src == 0) {
      return true;
    }
  }
}

int CompareNoCase(const char16_t* a, const char16_t* b) {
  if (a == nullptr || b == nullptr) {
    return -2;
  }
  for (;; ++a, ++b) {
    const uint32_t x = FoldCase(*a);
    const uint32_t y = FoldCase(*b);
    if (x != y) {
      return x < y ? -1 : 1;
    }
    if (x == 0) {
      return 0;
    }
  }
}

const AnsiCodec SystemAnsi = {WideToAnsi, AnsiToWide};
