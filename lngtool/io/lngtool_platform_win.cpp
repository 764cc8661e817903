// The Windows side: the system's code pages and wide file names.
#include <windows.h>
// After <windows.h>, which they build on.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "base/own_path.h"
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

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) {
    return std::wstring();
  }
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
  return out;
}

std::string Utf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) {
    return std::string();
  }
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
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
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) {
    return out;
  }
  for (int i = 1; i < count; ++i) {
    out.push_back(Utf8(args[i]));
  }
  LocalFree(args);
  return out;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

bool MakeDirectory(const std::string& path) {
  return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0 ||
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

void PrepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  // A catalog written to standard output is binary: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace lngtool
