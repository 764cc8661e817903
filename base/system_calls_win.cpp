// The SystemCalls table filled with the real Win32 calls.
#include <windows.h>

#include "base/call_by_name_win.h"
#include "base/desktop_shell_win.h"
#include "base/system_calls.h"
#include "base/wide_bridge.h"

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
uint32_t WinGetModuleFileName(char16_t* buffer, uint32_t size) {
  return GetModuleFileNameW(nullptr, AsWide(buffer), size);
}
bool WinHasDialogResource(PlatformModule module, const char16_t* name) {
  return FindResourceW(static_cast<HMODULE>(module), AsWide(name), RT_DIALOG) != nullptr;
}
int32_t WinRegOpenKey(PlatformKey root, const char16_t* sub, uint32_t access, PlatformKey* key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(static_cast<HKEY>(root), AsWide(sub), 0, access, &opened);
  *key = opened;
  return status;
}
int32_t WinRegQueryValue(PlatformKey key, const char16_t* name, void* data, uint32_t* size) {
  DWORD bytes = *size;
  const LSTATUS status = RegQueryValueExW(static_cast<HKEY>(key), AsWide(name), nullptr, nullptr,
                                          static_cast<BYTE*>(data), &bytes);
  *size = bytes;
  return status;
}
int32_t WinRegCloseKey(PlatformKey key) { return RegCloseKey(static_cast<HKEY>(key)); }
uint32_t WinGetEnvironmentVariable(const char16_t* name, char16_t* buffer, uint32_t size) {
  return GetEnvironmentVariableW(AsWide(name), AsWide(buffer), size);
}
uint32_t WinExpandEnvironmentStrings(const char16_t* source, char16_t* buffer, uint32_t size) {
  return ExpandEnvironmentStringsW(AsWide(source), AsWide(buffer), size);
}
uint32_t WinGetSystemDirectory(char16_t* buffer, uint32_t size) {
  return GetSystemDirectoryW(AsWide(buffer), size);
}
bool WinCreateProcess(const char16_t* application, char16_t* commandLine, bool inheritHandles,
                      uint16_t show, const char16_t* directory, ProcessHandles* started) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show;
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(AsWide(application), AsWide(commandLine), nullptr, nullptr,
                     inheritHandles ? TRUE : FALSE, 0, nullptr, AsWide(directory), &startup,
                     &process) == FALSE) {
    return false;
  }
  started->process = process.hProcess;
  started->thread = process.hThread;
  return true;
}
bool WinSetDefaultDllDirectories(uint32_t flags) {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  // By name: the call came with a system update, which not every system has.
  const auto set =
      CallByName<SetDefaultDllDirectoriesFunction>(L"kernel32", "SetDefaultDllDirectories");
  return set != nullptr && set(flags) != FALSE;
}
// By name as well, so that the shipped program imports what it always has.
bool WinSetDllDirectory(const char16_t* path) {
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
  const auto set = CallByName<SetDllDirectoryFunction>(L"kernel32", "SetDllDirectoryW");
  return set != nullptr && set(AsWide(path)) != FALSE;
}
bool WinDeleteAtRestart(const char16_t* path) {
  return MoveFileExW(AsWide(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}
uint32_t WinGetDriveType(const char16_t* root) { return GetDriveTypeW(AsWide(root)); }
// Identify only: a server of the desktop shell, which runs with fewer rights,
// may learn who calls but never act as the launcher; and no object it hands
// back may bring its own unmarshalling code into this process.
bool WinCoInitializeSecurity() {
  return SUCCEEDED(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                        RPC_C_IMP_LEVEL_IDENTIFY, nullptr,
                                        EOAC_NO_CUSTOM_MARSHAL | EOAC_DISABLE_AAA, nullptr));
}
}  // namespace

static_assert(sizeof(LONG) == sizeof(int32_t), "SetFilePointer's high part is 32-bit");
static_assert(sizeof(LSTATUS) == sizeof(int32_t), "registry results are 32-bit");

SystemCalls Sys = {WinGetFileAttributes,
                   WinDeleteFile,
                   WinGetCurrentDirectory,
                   WinCreateFile,
                   WinReadFile,
                   WinSetFilePointer,
                   WinCloseHandle,
                   WinGetFileType,
                   WinGetStdInput,
                   WinGetLastError,
                   WinGetModuleFileName,
                   WinHasDialogResource,
                   WinRegOpenKey,
                   WinRegQueryValue,
                   WinRegCloseKey,
                   WinGetEnvironmentVariable,
                   WinExpandEnvironmentStrings,
                   WinGetSystemDirectory,
                   WinCreateProcess,
                   WinOpenWithDesktopShell,
                   WinSetDefaultDllDirectories,
                   WinSetDllDirectory,
                   WinDeleteAtRestart,
                   WinGetDriveType,
                   WinCoInitializeSecurity};
