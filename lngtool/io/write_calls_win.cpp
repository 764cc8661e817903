// The file-writing calls on Windows.
#include <windows.h>

#include "base/wide_bridge.h"
#include "lngtool/io/write_calls.h"

namespace lngtool {
namespace {
PlatformHandle WinCreateNewFile(const char16_t* name) {
  return CreateFileW(AsWide(name), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}
bool WinWriteFile(PlatformHandle handle, const void* buffer, uint32_t count, uint32_t* done) {
  DWORD put = 0;
  const BOOL ok = WriteFile(handle, buffer, count, &put, nullptr);
  *done = put;
  return ok != FALSE;
}
bool WinFlushFileBuffers(PlatformHandle handle) { return FlushFileBuffers(handle) != FALSE; }
bool WinMoveFileReplace(const char16_t* from, const char16_t* to) {
  return MoveFileExW(AsWide(from), AsWide(to),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
}  // namespace

WriteCalls Writes = {WinCreateNewFile, WinWriteFile, WinFlushFileBuffers, WinMoveFileReplace};

}  // namespace lngtool
