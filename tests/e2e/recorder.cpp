// Stand-in for every program the launcher starts (the command interpreter,
// the partner installer, the uninstaller, folder and web handlers): it does
// nothing but append what it was started with to a log, so that a scenario
// can tell what was started and how.
//
// Two opt-ins through the environment it inherits: with ZTK_PROBE_HANDLE it
// writes to the handle of that value (the starter's probe pipe, when it was
// inherited this far); with ZTK_CARRY_OUT, a recorder started with the
// clean-up's command line runs ".\uninstall.exe /wait" from its current
// directory and waits for it, as the interpreter would.
//
// The log is %ZTK_RECORD_FILE% when that is set, else the program's own path
// with ".log" appended. One record per start, UTF-8:
//   exe=<own path>  cmdline=<command line as received>  flags=0x<STARTUPINFO
//   dwFlags>  show=<wShowWindow>  cwd=<current directory>  parent=<file name of
//   the parent process, empty when it is gone>, then a line ".".
#include <windows.h>
// After <windows.h>.
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "utf8_win.h"

namespace {

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

// The parent's file name, from one snapshot: the parent's own entry is
// looked up by the id this process's entry names.
std::wstring ParentName() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return {};
  }
  std::vector<PROCESSENTRY32W> entries;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    entries.push_back(entry);
  }
  CloseHandle(snapshot);
  DWORD parent = 0;
  for (const PROCESSENTRY32W& e : entries) {
    if (e.th32ProcessID == GetCurrentProcessId()) parent = e.th32ParentProcessID;
  }
  for (const PROCESSENTRY32W& e : entries) {
    if (parent != 0 && e.th32ProcessID == parent) return e.szExeFile;
  }
  return {};
}

std::string Hex(DWORD value) {
  char text[16];
  wsprintfA(text, "0x%lx", value);
  return text;
}

std::wstring Variable(const wchar_t* name) {
  std::wstring value(32768, L'\0');
  const DWORD n = GetEnvironmentVariableW(name, &value[0], 32768);
  return n > 0 && n < 32768 ? value.substr(0, n) : std::wstring();
}

// "written" when the probe's handle took a byte, "failed" when not, empty
// without a probe.
std::string WriteProbe() {
  const std::wstring value = Variable(L"ZTK_PROBE_HANDLE");
  if (value.empty()) return {};
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a handle value passed as text
  const auto handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(_wtoi64(value.c_str())));
  // Only a pipe is written to: a handle of that value that is something
  // else is not the probe.
  DWORD written = 0;
  return GetFileType(handle) == FILE_TYPE_PIPE && WriteFile(handle, "x", 1, &written, nullptr) &&
                 written == 1
             ? "written"
             : "failed";
}

void CarryOutCleanup() {
  if (Variable(L"ZTK_CARRY_OUT").empty() ||
      wcsstr(GetCommandLineW(), L" /c .\\uninstall.exe/wait & del ") == nullptr) {
    return;
  }
  std::wstring commandLine = L".\\uninstall.exe /wait";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
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
                             "\ncwd=" + Utf8(CurrentDirectory()) +
                             "\nparent=" + Utf8(ParentName()) + "\nprobe=" + WriteProbe() + "\n.\n";
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
  CarryOutCleanup();
  return ok ? 0 : 1;
}
