#include "base/environment.h"

#include "base/system_calls.h"

void ReadEnvironmentText(const char16_t* name, char16_t* dst, uint32_t cap) {
  dst[0] = 0;
  const uint32_t length = Sys.getEnvironmentVariable(name, dst, cap);
  if (length == 0 || length >= cap) {
    dst[0] = 0;
  }
}
