// What the native stand-ins lend to stand-ins of the layers above (lngtool's
// file writing and its error texts): the last error Sys.getLastError
// reports, errno and the Win32 codes both ways, a Win32 path's POSIX name,
// and handles that are file descriptors. Native build only.
#pragma once
#include <cstdint>
#include <string>

#include "base/system_calls.h"

// Makes errno's Win32 code the last error.
void SetLastErrorFromErrno(int e);
// The errno that a Win32 code of the stand-ins stands for; 0 for another code.
int ErrnoOfError(uint32_t code);
std::string PosixPath(const char16_t* path);
PlatformHandle HandleOfFd(int fd);
int FdOfHandle(PlatformHandle handle);
