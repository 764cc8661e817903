// The SystemCalls table filled with the real Win32 calls.
#include <windows.h>

#include "support/system_calls.h"
#include "support/wide_bridge.h"

namespace {
uint32_t WinGetFileAttributes(const char16_t* path) { return GetFileAttributesW(AsWide(path)); }
bool WinDeleteFile(const char16_t* path) { return DeleteFileW(AsWide(path)) != FALSE; }
uint32_t WinGetCurrentDirectory(uint32_t size, char16_t* buffer) {
  return GetCurrentDirectoryW(size, AsWide(buffer));
}
PlatformHandle WinCreateFile(const char16_t* name, uint32_t access, uint32_t share,
                             uint32_t flags) {
  return CreateFileW(AsWide(name), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
}
bool WinReadFile(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* done) {
  DWORD got = 0;
  const BOOL ok = ReadFile(handle, buffer, count, &got, nullptr);
  *done = got;
  return ok != FALSE;
}
uint32_t WinSetFilePointer(PlatformHandle handle, int32_t low, int32_t* high, uint32_t method) {
  return SetFilePointer(handle, low, reinterpret_cast<PLONG>(high), method);
}
bool WinCloseHandle(PlatformHandle handle) { return CloseHandle(handle) != FALSE; }
uint32_t WinGetFileType(PlatformHandle handle) { return GetFileType(handle); }
PlatformHandle WinGetStdInput() { return GetStdHandle(STD_INPUT_HANDLE); }
uint32_t WinGetLastError() { return GetLastError(); }
}  // namespace

static_assert(sizeof(LONG) == sizeof(int32_t), "SetFilePointer's high part is 32-bit");

SystemCalls Sys = {WinGetFileAttributes, WinDeleteFile,     WinGetCurrentDirectory, WinCreateFile,
                   WinReadFile,          WinSetFilePointer, WinCloseHandle,         WinGetFileType,
                   WinGetStdInput,       WinGetLastError};
