#include "base/own_path.h"

#include <cstdint>

#include "base/system_calls.h"

bool OwnExecutablePath(char16_t* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  const uint32_t size = cap > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(cap);
  const uint32_t got = Sys.getModuleFileName(dst, size);
  // A path that filled the buffer was cut (and may lack its terminator).
  if (got == 0 || got >= size) {
    dst[0] = 0;
    return false;
  }
  return true;
}
