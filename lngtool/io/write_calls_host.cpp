// The file-writing calls on the native build: POSIX behind the Win32
// contract, their errors as Win32 codes.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/host_stand_ins.h"
#include "lngtool/io/write_calls.h"

namespace lngtool {
namespace {
PlatformHandle HostCreateNewFile(const char16_t* name) {
  const int fd = open(PosixPath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return InvalidPlatformHandle();
  }
  return HandleOfFd(fd);
}
bool HostWriteFile(PlatformHandle handle, const void* buffer, uint32_t count, uint32_t* done) {
  const ssize_t put = write(FdOfHandle(handle), buffer, count);
  if (put < 0) {
    SetLastErrorFromErrno(errno);
    *done = 0;
    return false;
  }
  *done = static_cast<uint32_t>(put);
  return true;
}
bool HostFlushFileBuffers(PlatformHandle handle) {
  if (fsync(FdOfHandle(handle)) != 0 && errno != EINVAL) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}
bool HostMoveFileReplace(const char16_t* from, const char16_t* to) {
  if (rename(PosixPath(from).c_str(), PosixPath(to).c_str()) != 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  return true;
}
}  // namespace

WriteCalls Writes = {HostCreateNewFile, HostWriteFile, HostFlushFileBuffers, HostMoveFileReplace};

}  // namespace lngtool
