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

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(AsWide(Wide(path).c_str()), AsWide(Wide(mode).c_str()));
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

void PrepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  // A catalog written to standard output is binary: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace lngtool
