// The SystemCalls table on the native build: POSIX calls behind the Win32
// contract (OPEN_EXISTING opens, SetFilePointer's split offset, Win32 error
// codes), so that the core's file logic runs and is tested natively.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/host_stand_ins.h"
#include "base/system_calls.h"
#include "base/utf8.h"

namespace {
thread_local uint32_t lastError = 0;

// The errno values the stand-ins meet and the Win32 codes that stand for
// them, read both ways: the first row of an errno gives its code, the first
// row of a code its errno.
struct ErrnoCode {
  int error;
  uint32_t code;
};
constexpr ErrnoCode kErrnoCodes[] = {
    {ENOENT, fileapi::kErrorFileNotFound},
    {ENOTDIR, fileapi::kErrorFileNotFound},
    {ENOENT, 3},  // ERROR_PATH_NOT_FOUND
    {EACCES, fileapi::kErrorAccessDenied},
    {EPERM, fileapi::kErrorAccessDenied},
    {EISDIR, fileapi::kErrorAccessDenied},  // as Windows answers for a folder
    {EPIPE, fileapi::kErrorBrokenPipe},
    {EINVAL, fileapi::kErrorInvalidParameter},
    {EEXIST, fileapi::kErrorFileExists},
    {ENOSPC, fileapi::kErrorDiskFull},
    {EROFS, fileapi::kErrorWriteProtect},
    {ENAMETOOLONG, fileapi::kErrorFilenameTooLong},
    {EXDEV, fileapi::kErrorNotSameDevice},
};

uint32_t ErrorFromErrno(int e) {
  for (const ErrnoCode& row : kErrnoCodes) {
    if (row.error == e) return row.code;
  }
  return fileapi::kErrorGenFailure;
}

std::string Utf8Text(const char16_t* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return Utf16ToUtf8(text, length);
}

// A Win32 path as the POSIX name of the same file.
std::string Utf8(const char16_t* path) {
  std::string out = Utf8Text(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  // The long form names the same file.
  if (out.rfind("//?/", 0) == 0) out.erase(0, 4);
  return out;
}

std::u16string Utf16(const char* utf8) { return Utf8ToUtf16(utf8, std::strlen(utf8)); }

// A POSIX path in the backslash form the core expects.
std::u16string Win32Path(const char* posix) {
  std::u16string out = Utf16(posix);
  for (char16_t& c : out) {
    if (c == u'/') c = u'\\';
  }
  return out;
}

PlatformHandle FromFd(int fd) {
  return reinterpret_cast<PlatformHandle>(static_cast<intptr_t>(fd));
}
int ToFd(PlatformHandle handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)); }

uint32_t HostGetFileAttributes(const char16_t* path) {
  struct stat st {};
  if (stat(Utf8(path).c_str(), &st) != 0) {
    lastError = ErrorFromErrno(errno);
    return fileapi::kInvalidAttributes;
  }
  return S_ISDIR(st.st_mode) ? fileapi::kAttributeDirectory : fileapi::kAttributeNormal;
}
bool HostDeleteFile(const char16_t* path) {
  const std::string name = Utf8(path);
  struct stat st {};
  if (stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    lastError = fileapi::kErrorAccessDenied;
    return false;
  }
  if (unlink(name.c_str()) != 0) {
    lastError = ErrorFromErrno(errno);
    return false;
  }
  return true;
}
uint32_t HostGetCurrentDirectory(uint32_t size, char16_t* buffer) {
  char dir[PATH_MAX];
  if (getcwd(dir, sizeof dir) == nullptr) {
    lastError = ErrorFromErrno(errno);
    return 0;
  }
  const std::u16string text = Win32Path(dir);
  if (text.size() + 1 > size) return static_cast<uint32_t>(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i) buffer[i] = text[i];
  buffer[text.size()] = 0;
  return static_cast<uint32_t>(text.size());
}
PlatformHandle HostCreateFile(const char16_t* name, uint32_t access, uint32_t, uint32_t) {
  int flags = O_RDONLY;
  if ((access & fileapi::kGenericWrite) != 0) {
    flags = (access & fileapi::kGenericRead) != 0 ? O_RDWR : O_WRONLY;
  }
  const int fd = open(Utf8(name).c_str(), flags | O_CLOEXEC);
  if (fd < 0) {
    lastError = ErrorFromErrno(errno);
    return InvalidPlatformHandle();
  }
  return FromFd(fd);
}
bool HostReadFile(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* done) {
  const ssize_t got = read(ToFd(handle), buffer, count);
  if (got < 0) {
    lastError = ErrorFromErrno(errno);
    *done = 0;
    return false;
  }
  *done = static_cast<uint32_t>(got);
  return true;
}
uint32_t HostSetFilePointer(PlatformHandle handle, int32_t low, int32_t* high, uint32_t method) {
  int64_t offset = static_cast<int64_t>(static_cast<uint32_t>(low));
  if (high != nullptr) {
    offset |= static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32);
  } else {
    offset = low;  // without a high part the low part is signed
  }
  const int whence = method == fileapi::kFileBegin     ? SEEK_SET
                     : method == fileapi::kFileCurrent ? SEEK_CUR
                                                       : SEEK_END;
  const off_t pos = lseek(ToFd(handle), static_cast<off_t>(offset), whence);
  if (pos < 0) {
    lastError = errno == EINVAL ? fileapi::kErrorNegativeSeek : ErrorFromErrno(errno);
    return fileapi::kInvalidSetFilePointer;
  }
  lastError = 0;
  if (high != nullptr) *high = static_cast<int32_t>(static_cast<uint64_t>(pos) >> 32);
  return static_cast<uint32_t>(static_cast<uint64_t>(pos) & 0xFFFFFFFFu);
}
bool HostCloseHandle(PlatformHandle handle) {
  if (close(ToFd(handle)) != 0) {
    lastError = fileapi::kErrorInvalidHandle;
    return false;
  }
  return true;
}
uint32_t HostGetFileType(PlatformHandle handle) {
  struct stat st {};
  if (fstat(ToFd(handle), &st) != 0) return 0;
  if (S_ISCHR(st.st_mode)) return fileapi::kFileTypeChar;
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return fileapi::kFileTypePipe;
  return fileapi::kFileTypeDisk;
}
PlatformHandle HostGetStdInput() { return FromFd(STDIN_FILENO); }
uint32_t HostGetLastError() { return lastError; }

// The Win32 contract of a text result: whole with its terminator, or cut to
// size - 1 units and terminated.
uint32_t CopyCut(const std::u16string& text, char16_t* buffer, uint32_t size) {
  if (size == 0) return 0;
  const size_t n = text.size() < size ? text.size() : size - 1;
  text.copy(buffer, n);
  buffer[n] = 0;
  return static_cast<uint32_t>(n);
}

uint32_t HostGetModuleFileName(char16_t* buffer, uint32_t size) {
  char utf8[PATH_MAX + 1];
  const ssize_t got = readlink("/proc/self/exe", utf8, PATH_MAX);
  if (got <= 0) {
    lastError = ErrorFromErrno(errno);
    return 0;
  }
  utf8[got] = 0;
  const std::u16string path = Win32Path(utf8);
  const uint32_t written = CopyCut(path, buffer, size);
  return written < path.size() ? size : written;
}
bool HostHasDialogResource(PlatformModule, const char16_t*) { return false; }

// No registry: no key opens.
int32_t HostRegOpenKey(PlatformKey, const char16_t*, uint32_t, PlatformKey* key) {
  *key = nullptr;
  return regapi::kErrorFileNotFound;
}
int32_t HostRegQueryValue(PlatformKey, const char16_t*, void*, uint32_t*) {
  return regapi::kErrorInvalidHandle;
}
int32_t HostRegCloseKey(PlatformKey) { return regapi::kErrorInvalidHandle; }

uint32_t HostGetEnvironmentVariable(const char16_t* name, char16_t* buffer, uint32_t size) {
  const char* value = std::getenv(Utf8Text(name).c_str());
  if (value == nullptr) {
    lastError = fileapi::kErrorEnvVarNotFound;
    return 0;
  }
  const std::u16string text = Utf16(value);
  if (text.size() >= size) return static_cast<uint32_t>(text.size() + 1);
  return CopyCut(text, buffer, size);
}

// %NAME% becomes the variable's value; a reference to an unset variable, and
// a lone %, stay as they are.
std::u16string Expand(const char16_t* source) {
  std::u16string out;
  for (const char16_t* p = source; *p != 0; ++p) {
    const char16_t* close = *p == u'%' ? std::char_traits<char16_t>::find(
                                             p + 1, std::char_traits<char16_t>::length(p + 1), u'%')
                                       : nullptr;
    const std::u16string name = close != nullptr ? std::u16string(p + 1, close) : u"";
    const char* value = name.empty() ? nullptr : std::getenv(Utf8Text(name.c_str()).c_str());
    if (value == nullptr) {
      out += *p;
      continue;
    }
    out += Utf16(value);
    p = close;
  }
  return out;
}
uint32_t HostExpandEnvironmentStrings(const char16_t* source, char16_t* buffer, uint32_t size) {
  const std::u16string text = Expand(source);
  if (text.size() < size) CopyCut(text, buffer, size);
  return static_cast<uint32_t>(text.size() + 1);
}

// The native build has no system folder of programs to start, no desktop
// shell and no loader to harden: each reports that it cannot.
uint32_t HostGetSystemDirectory(char16_t* buffer, uint32_t size) {
  const std::u16string folder = u"\\bin";
  if (folder.size() >= size) return static_cast<uint32_t>(folder.size() + 1);
  return CopyCut(folder, buffer, size);
}
bool HostCreateProcess(const char16_t*, char16_t*, bool, uint16_t, const char16_t*,
                       ProcessHandles*) {
  lastError = 50;  // ERROR_NOT_SUPPORTED
  return false;
}
bool HostOpenWithDesktopShell(const char16_t*, uint16_t) { return false; }
bool HostSetDefaultDllDirectories(uint32_t) {
  lastError = 50;
  return false;
}
bool HostSetDllDirectory(const char16_t*) {
  lastError = 50;
  return false;
}
bool HostDeleteAtRestart(const char16_t*) {
  lastError = 50;
  return false;
}
// Every drive is local here; there is no COM to secure.
uint32_t HostGetDriveType(const char16_t*) { return fileapi::kDriveFixed; }
bool HostCoInitializeSecurity() { return false; }
}  // namespace

SystemCalls Sys = {HostGetFileAttributes,
                   HostDeleteFile,
                   HostGetCurrentDirectory,
                   HostCreateFile,
                   HostReadFile,
                   HostSetFilePointer,
                   HostCloseHandle,
                   HostGetFileType,
                   HostGetStdInput,
                   HostGetLastError,
                   HostGetModuleFileName,
                   HostHasDialogResource,
                   HostRegOpenKey,
                   HostRegQueryValue,
                   HostRegCloseKey,
                   HostGetEnvironmentVariable,
                   HostExpandEnvironmentStrings,
                   HostGetSystemDirectory,
                   HostCreateProcess,
                   HostOpenWithDesktopShell,
                   HostSetDefaultDllDirectories,
                   HostSetDllDirectory,
                   HostDeleteAtRestart,
                   HostGetDriveType,
                   HostCoInitializeSecurity};

void SetLastErrorFromErrno(int e) { lastError = ErrorFromErrno(e); }
std::string PosixPath(const char16_t* path) { return Utf8(path); }
PlatformHandle HandleOfFd(int fd) { return FromFd(fd); }
int FdOfHandle(PlatformHandle handle) { return ToFd(handle); }
int ErrnoOfError(uint32_t code) {
  for (const ErrnoCode& row : kErrnoCodes) {
    if (row.code == code) return row.error;
  }
  return 0;
}
