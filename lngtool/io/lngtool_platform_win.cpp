// The Windows side: the system's code pages and wide file names.
#include <windows.h>
// After <windows.h>, which they build on.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "base/own_path.h"
#include "base/scoped_win.h"
#include "base/utf8.h"
#include "base/wide_bridge.h"
#include "lngtool/io/lngtool_platform.h"

namespace lngtool {
namespace {
UINT selectedCodePage = CP_ACP;

bool PageWideToAnsi(const char16_t* src, char* dst, size_t cap) {
  return WideToCodePage(selectedCodePage, src, dst, cap);
}

bool PageAnsiToWide(const char* src, char16_t* dst, size_t cap) {
  return CodePageToWide(selectedCodePage, src, dst, cap);
}

const AnsiCodec kPageCodec = {PageWideToAnsi, PageAnsiToWide};

std::u16string Wide(const std::string& utf8) { return Utf8ToUtf16(utf8.data(), utf8.size()); }

std::string Utf8(const wchar_t* wide) {
  const std::u16string text(AsUtf16(wide));
  return Utf16ToUtf8(text.data(), text.size());
}

// Volume and file index: what one file has under any of its names. No access
// is asked, so that a file others are writing can be told too.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  const HANDLE h = CreateFileW(AsWide(Wide(path).c_str()), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return false;
  }
  const ScopedHandle owned(h);
  return GetFileInformationByHandle(h, info) != FALSE;
}
}  // namespace

bool SelectCodePage(uint32_t codePage, const AnsiCodec** codec, std::string* error) {
  if (codePage == 0) {
    *codec = &SystemAnsi;
    return true;
  }
  CPINFO info;
  if (!GetCPInfo(codePage, &info)) {
    *error = "code page " + std::to_string(codePage) + " is not available here";
    return false;
  }
  selectedCodePage = codePage;
  *codec = &kPageCodec;
  return true;
}

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> out;
  int count = 0;
  const ScopedLocalMemory<LPWSTR*> args(CommandLineToArgvW(GetCommandLineW(), &count));
  if (args.Get() == nullptr) {
    return out;
  }
  for (int i = 1; i < count; ++i) {
    out.push_back(Utf8(args.Get()[i]));
  }
  return out;
}

bool MakeDirectory(const std::string& path) {
  return CreateDirectoryW(AsWide(Wide(path).c_str()), nullptr) != 0 ||
         GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string OwnFolder() {
  char16_t path[MAX_PATH * 4];
  if (!OwnExecutablePath(path, MAX_PATH * 4)) {
    return ".\\";
  }
  std::string s = Utf8(AsWide(path));
  return s.substr(0, s.find_last_of("\\/") + 1);
}

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x = {};
  BY_HANDLE_FILE_INFORMATION y = {};
  return FileIdentity(a, &x) && FileIdentity(b, &y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

std::string SystemErrorText(uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const ScopedLocalMemory<wchar_t*> owned(text);
  std::string out = n != 0 && text != nullptr ? Utf8(text) : "error " + std::to_string(code);
  // The system's texts end with a full stop and a line break.
  while (!out.empty() &&
         (out.back() == '\n' || out.back() == '\r' || out.back() == '.' || out.back() == ' ')) {
    out.pop_back();
  }
  return out;
}

void PrepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  // A catalog written to standard output is binary: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace lngtool
