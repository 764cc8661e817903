// lngtool's own calls for writing files. The launcher writes none, so they
// stay out of its table (base/system_calls.h); the platform fills this one,
// and a test may replace single entries for a scope (WriteCallsOverride).
// Failures leave their Win32 code for Sys.getLastError.
#pragma once
#include <cstdint>

#include "base/system_calls.h"

namespace lngtool {

struct WriteCalls {
  // Makes a file that does not exist yet (CREATE_NEW); InvalidPlatformHandle()
  // on failure, also when the name is taken.
  PlatformHandle (*createNewFile)(const char16_t* name);
  bool (*writeFile)(PlatformHandle handle, const void* buffer, uint32_t count, uint32_t* done);
  bool (*flushFileBuffers)(PlatformHandle handle);
  // Renames from to to, replacing a file of that name in one step
  // (MoveFileExW with MOVEFILE_REPLACE_EXISTING; rename on POSIX).
  bool (*moveFileReplace)(const char16_t* from, const char16_t* to);
};

extern WriteCalls Writes;

using WriteCallsOverride = CallTableOverride<WriteCalls, Writes>;

}  // namespace lngtool
