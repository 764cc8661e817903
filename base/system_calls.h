// The table through which the core reaches the operating system: the file
// calls, the own path, the dialog-resource probe, the registry, the
// environment, process starts, the desktop shell and the DLL search order.
// The Win32 edge fills it with the real calls, the native build with POSIX
// stand-ins; a test may replace single entries to stage failures that cannot
// be staged for real, and must restore them (SystemCallsOverride does).
// Values and error codes are the Win32 ones on every platform.
#pragma once
#include <cstdint>

using PlatformHandle = void*;
// INVALID_HANDLE_VALUE: the all-ones handle, which only a cast can spell.
inline PlatformHandle InvalidPlatformHandle() {
  return reinterpret_cast<PlatformHandle>(~uintptr_t{0});
}

namespace fileapi {
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kShareRead = 0x1;
constexpr uint32_t kShareWrite = 0x2;
constexpr uint32_t kFlagSequentialScan = 0x08000000u;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kAttributeDirectory = 0x10, kAttributeNormal = 0x80;
constexpr uint32_t kInvalidSetFilePointer = 0xFFFFFFFFu;
constexpr int kFileBegin = 0, kFileCurrent = 1, kFileEnd = 2;  // seek methods
constexpr uint32_t kFileTypeDisk = 1, kFileTypeChar = 2, kFileTypePipe = 3;
// GetDriveTypeW's answers (DRIVE_...).
constexpr uint32_t kDriveUnknown = 0, kDriveNoRootDir = 1, kDriveRemovable = 2, kDriveFixed = 3,
                   kDriveRemote = 4, kDriveCdRom = 5, kDriveRamDisk = 6;
// The Win32 error codes the core and its stand-ins give (ERROR_...).
constexpr uint32_t kErrorFileNotFound = 2, kErrorAccessDenied = 5, kErrorInvalidHandle = 6,
                   kErrorGenFailure = 31, kErrorLockViolation = 33, kErrorInvalidParameter = 87,
                   kErrorBrokenPipe = 109, kErrorNegativeSeek = 131, kErrorEnvVarNotFound = 203;
// What the file-writing calls fail with.
constexpr uint32_t kErrorNotSameDevice = 17, kErrorWriteProtect = 19, kErrorFileExists = 80,
                   kErrorDiskFull = 112, kErrorFilenameTooLong = 206;
}  // namespace fileapi

namespace regapi {
constexpr int32_t kSuccess = 0;  // ERROR_SUCCESS
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorInvalidHandle = 6;
constexpr int32_t kErrorMoreData = 234;
constexpr uint32_t kQueryValue = 0x1;        // KEY_QUERY_VALUE
constexpr uint32_t kEnumerateSubKeys = 0x8;  // KEY_ENUMERATE_SUB_KEYS
}  // namespace regapi

namespace procapi {
constexpr uint16_t kShowHide = 0;            // SW_HIDE
constexpr uint16_t kShowNormal = 1;          // SW_SHOWNORMAL
constexpr uint16_t kShow = 5;                // SW_SHOW
constexpr uint32_t kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
}  // namespace procapi

// The two handles of a started process (PROCESS_INFORMATION's).
struct ProcessHandles {
  PlatformHandle process;
  PlatformHandle thread;
};

using PlatformKey = void*;     // an HKEY
using PlatformModule = void*;  // an HMODULE

struct SystemCalls {
  uint32_t (*getFileAttributes)(const char16_t* path);
  bool (*deleteFile)(const char16_t* path);
  // Size offered in units; returns the length written, 0 on failure, or the
  // size needed when the directory does not fit.
  uint32_t (*getCurrentDirectory)(uint32_t size, char16_t* buffer);
  // Opens an existing file (OPEN_EXISTING); InvalidPlatformHandle() on failure.
  PlatformHandle (*createFile)(const char16_t* name, uint32_t access, uint32_t share,
                               uint32_t flags);
  bool (*readFile)(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* done);
  uint32_t (*setFilePointer)(PlatformHandle handle, int32_t low, int32_t* high, uint32_t method);
  bool (*closeHandle)(PlatformHandle handle);
  uint32_t (*getFileType)(PlatformHandle handle);
  PlatformHandle (*getStdInput)();
  uint32_t (*getLastError)();
  // The main module's file name: the length written, or size when the name
  // was cut to fit (GetModuleFileNameW).
  uint32_t (*getModuleFileName)(char16_t* buffer, uint32_t size);
  // module holds a dialog resource of that name.
  bool (*hasDialogResource)(PlatformModule module, const char16_t* name);
  // The registry calls return a Win32 error code, regapi::kSuccess on success.
  int32_t (*regOpenKey)(PlatformKey root, const char16_t* sub, uint32_t access, PlatformKey* key);
  // *size: bytes offered, then bytes stored; the value's type is not asked.
  int32_t (*regQueryValue)(PlatformKey key, const char16_t* name, void* data, uint32_t* size);
  int32_t (*regCloseKey)(PlatformKey key);
  // The length written without the terminator, 0 when absent, or the size
  // needed when the value does not fit (GetEnvironmentVariableW).
  uint32_t (*getEnvironmentVariable)(const char16_t* name, char16_t* buffer, uint32_t size);
  // The size needed with the terminator, 0 on failure; the text is whole only
  // when that is at most size (ExpandEnvironmentStringsW).
  uint32_t (*expandEnvironmentStrings)(const char16_t* source, char16_t* buffer, uint32_t size);
  // The system folder: the length written without the terminator, 0 on
  // failure, or the size needed when it does not fit (GetSystemDirectoryW).
  uint32_t (*getSystemDirectory)(char16_t* buffer, uint32_t size);
  // CreateProcessW with application as the application name, the writable
  // commandLine, no security attributes, creation flags 0, the caller's
  // environment, directory as the current directory (null: the caller's),
  // and STARTF_USESHOWWINDOW with show. On success the caller owns
  // *started's two handles.
  bool (*createProcess)(const char16_t* application, char16_t* commandLine, bool inheritHandles,
                        uint16_t show, const char16_t* directory, ProcessHandles* started);
  // Hands target, with the verb "open", to the signed-in user's desktop
  // shell, whose process opens it; false when no desktop shell answers.
  bool (*openWithDesktopShell)(const char16_t* target, uint16_t show);
  // SetDefaultDllDirectories, looked up by name; false when the system lacks
  // it or refuses the flags.
  bool (*setDefaultDllDirectories)(uint32_t flags);
  // SetDllDirectoryW, looked up by name; "" takes the current directory out
  // of the DLL search.
  bool (*setDllDirectory)(const char16_t* path);
  // MoveFileExW(path, null, MOVEFILE_DELAY_UNTIL_REBOOT).
  bool (*deleteAtRestart)(const char16_t* path);
  // The kind of drive whose root folder is root, such as C:\ with its backslash:
  // fileapi::kDriveRemote and so on (GetDriveTypeW).
  uint32_t (*getDriveType)(const char16_t* root);
  // CoInitializeSecurity for the process: identify-level impersonation, no
  // custom marshalling, no activate-as-activator; false when refused.
  bool (*coInitializeSecurity)();
};

// The process's table; defined by the platform layer.
extern SystemCalls Sys;

// Replaces a table of calls for one scope and puts the original back at its end.
template <typename Table, Table& table>
class CallTableOverride {
 public:
  CallTableOverride() : saved_(table) {}
  ~CallTableOverride() { table = saved_; }
  CallTableOverride(const CallTableOverride&) = delete;
  CallTableOverride& operator=(const CallTableOverride&) = delete;
  CallTableOverride(CallTableOverride&&) = delete;
  CallTableOverride& operator=(CallTableOverride&&) = delete;

 private:
  Table saved_;
};
using SystemCallsOverride = CallTableOverride<SystemCalls, Sys>;
