// What the native stand-ins lend to stand-ins of the layers above (lngtool's
// file writing): the last error Sys.getLastError reports, a Win32 path's
// POSIX name, and handles that are file descriptors. Native build only.
#pragma once
#include <string>

#include "base/system_calls.h"

// Makes errno's Win32 code the last error.
void SetLastErrorFromErrno(int e);
std::string PosixPath(const char16_t* path);
PlatformHandle HandleOfFd(int fd);
int FdOfHandle(PlatformHandle handle);
