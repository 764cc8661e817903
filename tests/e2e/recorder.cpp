// Stand-in for every program the launcher starts (the command interpreter,
// the partner installer, the uninstaller, folder and web handlers): it does
// nothing but append what it was started with to a log, so that a scenario
// can tell what was started and how.
//
// The log is %ZTK_RECORD_FILE% when that is set, else the program's own path
// with ".log" appended. One record per start, UTF-8:
//   exe=<own path>  cmdline=<command line as received>  flags=0x<STARTUPINFO
//   dwFlags>  show=<wShowWindow>  cwd=<current directory>, then a line ".".
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) {
    return {};
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

std::wstring OwnPath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
  return path;
}

std::wstring CurrentDirectory() {
  std::wstring dir(32768, L'\0');
  dir.resize(GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), &dir[0]));
  return dir;
}

std::wstring LogPath(const std::wstring& own) {
  std::wstring named(32768, L'\0');
  const DWORD n = GetEnvironmentVariableW(L"ZTK_RECORD_FILE", &named[0], 32768);
  if (n > 0 && n < 32768) {
    return named.substr(0, n);
  }
  return own + L".log";
}

std::string Hex(DWORD value) {
  char text[16];
  wsprintfA(text, "0x%lx", value);
  return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const std::wstring own = OwnPath();
  const std::string record = "exe=" + Utf8(own) + "\ncmdline=" + Utf8(GetCommandLineW()) +
                             "\nflags=" + Hex(startup.dwFlags) +
                             "\nshow=" + std::to_string(startup.wShowWindow) +
                             "\ncwd=" + Utf8(CurrentDirectory()) + "\n.\n";
  // Appends are atomic per write, so records of concurrent starts stay whole.
  HANDLE log =
      CreateFileW(LogPath(own).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) {
    return 1;
  }
  DWORD written = 0;
  const BOOL ok =
      WriteFile(log, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(log);
  return ok ? 0 : 1;
}
