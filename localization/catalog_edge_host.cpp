// Native stand-ins: the executable's path in the backslash form the core
// expects, and no resources at all.
#include <unistd.h>

#include <climits>
#include <cstdint>

#include "localization/catalog_edge.h"

namespace {
// One UTF-8 sequence at *p into a code point; malformed bytes pass as they are.
uint32_t NextCodePoint(const unsigned char*& p) {
  const uint32_t lead = *p++;
  int follow = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  uint32_t c = follow == 3 ? lead & 0x07 : follow == 2 ? lead & 0x0F : lead & 0x1F;
  if (follow == 0) {
    return lead;
  }
  for (; follow > 0; --follow) {
    if ((*p & 0xC0) != 0x80) {
      return lead;
    }
    c = (c << 6) | (*p++ & 0x3F);
  }
  return c;
}
}  // namespace

bool OwnExecutablePath(char16_t* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  char utf8[PATH_MAX + 1];
  const ssize_t got = readlink("/proc/self/exe", utf8, PATH_MAX);
  if (got <= 0) {
    return false;
  }
  utf8[got] = 0;
  size_t n = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0;) {
    uint32_t c = NextCodePoint(p);
    if (c == '/') {
      c = '\\';
    }
    const size_t need = c >= 0x10000 ? 2 : 1;
    if (n + need >= cap) {
      dst[0] = 0;
      return false;
    }
    if (c >= 0x10000) {
      dst[n++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      dst[n++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      dst[n++] = static_cast<char16_t>(c);
    }
  }
  dst[n] = 0;
  return true;
}

bool ActiveModuleHasRtlDialog() { return false; }
