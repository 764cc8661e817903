// Starts Launcher.exe inside Windows the way the setup package does, for the
// end-to-end scenarios: environment set up from within (a COMSPEC set on the
// Linux side never arrives, Wine rebuilds it), the install folder as current
// directory, then waits for the launcher and everything it started, and reads
// the renames scheduled for the next restart while this Wine session still
// runs (a new session would carry them out).
//
// Usage: starter.exe JOBFILE. The job file is UTF-8, one key=value a line:
//   launcher=<path>        program to start (required)
//   cwd=<folder>           its current directory (default: its own folder)
//   comspec=<path>         COMSPEC for it; "comspec=" with nothing unsets it;
//                          without the key Wine's own value stays
//   sfxcmd=<text>          the setup command line; without the key it is unset
//   env=NAME=VALUE         any further variable (repeatable; empty VALUE unsets)
//   out=<path>             the result file (default: JOBFILE.out)
//   timeout=<ms>           for the launcher and again for its descendants
//   dismiss_after=<ms>     close each window of the launcher that has been
//                          visible this long (WM_CLOSE, as the close box does);
//                          windows are reported (window=<title>) either way
//   dismiss_with=ok        dismiss with the OK button instead (WM_COMMAND IDOK)
//   await=<name.exe>       after the launcher's descendants, wait also for every
//                          process of that file name (repeatable): what the
//                          desktop shell starts for the launcher is not its
//                          descendant
//   handle_probe=1         the launcher inherits the write end of a pipe, whose
//                          value ZTK_PROBE_HANDLE names; probe= tells whether
//                          anything was written to it (a recorder that holds
//                          it writes)
// The result file gets lines as they happen: started=, pid=, window=, dismissed=,
// exit=, descendants=, probe= (with handle_probe), pending.count= and one
// pending= per string of PendingFileRenameOperations.
#include <windows.h>
// After <windows.h>.
#include <tlhelp32.h>

#include <map>
#include <string>
#include <vector>

#include "utf8_win.h"

namespace {

struct Job {
  std::multimap<std::string, std::wstring> values;
  bool Has(const char* key) const { return values.count(key) != 0; }
  std::wstring Get(const char* key, const std::wstring& fallback = L"") const {
    auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
  }
};

bool ReadJob(const std::wstring& path, Job* job) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  CloseHandle(file);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) {
      end = bytes.size();
    }
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
      job->values.emplace(line.substr(0, eq), Wide(line.substr(eq + 1)));
    }
    start = end + 1;
  }
  return job->Has("launcher");
}

class Output {
 public:
  explicit Output(const std::wstring& path) {
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  Output(Output&&) = delete;
  Output& operator=(Output&&) = delete;
  ~Output() {
    if (file_ != INVALID_HANDLE_VALUE) {
      CloseHandle(file_);
    }
  }
  void Line(const std::string& key, const std::string& value) {
    const std::string text = key + "=" + value + "\n";
    DWORD written = 0;
    if (file_ != INVALID_HANDLE_VALUE) {
      WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
  }
  bool Ok() const { return file_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

void SetVariable(const wchar_t* name, const std::wstring& value, bool unset) {
  SetEnvironmentVariableW(name, unset ? nullptr : value.c_str());
}

void PrepareEnvironment(const Job& job) {
  if (job.Has("comspec")) {
    const std::wstring comspec = job.Get("comspec");
    SetVariable(L"COMSPEC", comspec, comspec.empty());
  }
  SetVariable(L"sfxcmd", job.Get("sfxcmd"), !job.Has("sfxcmd"));
  auto range = job.values.equal_range("env");
  for (auto it = range.first; it != range.second; ++it) {
    const size_t eq = it->second.find(L'=');
    if (eq == std::wstring::npos) {
      continue;
    }
    const std::wstring value = it->second.substr(eq + 1);
    SetVariable(it->second.substr(0, eq).c_str(), value, value.empty());
  }
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);  // NOLINT(performance-no-int-to-ptr)
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::string WindowTitle(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return Utf8(title);
}

// Waits for the launcher, reporting each visible window it shows; with
// dismissAfter, closes those that stayed up that long.
void Dismiss(HWND window, bool withOk) {
  if (withOk) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
  } else {
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
}

DWORD WaitForLauncher(HANDLE process, DWORD processId, DWORD timeout, DWORD dismissAfter,
                      bool dismissWithOk, Output* out) {
  std::map<HWND, ULONGLONG> seen;
  const ULONGLONG begin = GetTickCount64();
  for (;;) {
    if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) {
      return WAIT_OBJECT_0;
    }
    if (GetTickCount64() - begin > timeout) {
      return WAIT_TIMEOUT;
    }
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
      auto it = seen.find(window);
      if (it == seen.end()) {
        seen.emplace(window, GetTickCount64());
        out->Line("window", WindowTitle(window));
      } else if (dismissAfter != 0 && it->second != 0 &&
                 GetTickCount64() - it->second >= dismissAfter) {
        out->Line("dismissed", WindowTitle(window));
        Dismiss(window, dismissWithOk);
        it->second = 0;
      }
    }
  }
}

// Wine's own session processes, started on demand by whichever program first
// needs them; when that is the launcher they land in its job and never end.
bool IsSessionProcess(DWORD processId) {
  static const wchar_t* const kSession[] = {L"explorer.exe",   L"conhost.exe",  L"services.exe",
                                            L"winedevice.exe", L"plugplay.exe", L"svchost.exe",
                                            L"rpcss.exe",      L"wineboot.exe", L"tabtip.exe"};
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) {
    return true;  // gone already
  }
  wchar_t image[MAX_PATH * 4] = {};
  DWORD size = MAX_PATH * 4;
  const BOOL named = QueryFullProcessImageNameW(process, 0, image, &size);
  CloseHandle(process);
  if (!named) {
    return false;
  }
  const wchar_t* base = wcsrchr(image, L'\\');
  base = base == nullptr ? image : base + 1;
  for (const wchar_t* name : kSession) {
    if (lstrcmpiW(base, name) == 0) {
      return true;
    }
  }
  return false;
}

// Counts the job's processes that are the launcher's own descendants.
int CountDescendants(HANDLE job) {
  struct {
    JOBOBJECT_BASIC_PROCESS_ID_LIST list;
    ULONG_PTR more[255];
  } ids = {};
  ids.list.NumberOfAssignedProcesses = 256;
  if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof(ids), nullptr)) {
    return -1;
  }
  int count = 0;
  for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
    if (!IsSessionProcess(static_cast<DWORD>(ids.list.ProcessIdList[i]))) {
      ++count;
    }
  }
  return count;
}

bool WaitForDescendants(HANDLE job, DWORD timeout) {
  const ULONGLONG begin = GetTickCount64();
  for (;;) {
    const int count = CountDescendants(job);
    if (count <= 0) {
      return count == 0;
    }
    if (GetTickCount64() - begin > timeout) {
      return false;
    }
    Sleep(50);
  }
}

// True when a process of one of these file names runs; false also when the
// processes cannot be listed.
bool AnyProcessNamed(const std::vector<std::wstring>& names) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return false;
  }
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    for (const std::wstring& name : names) {
      found = found || lstrcmpiW(entry.szExeFile, name.c_str()) == 0;
    }
  }
  CloseHandle(snapshot);
  return found;
}

bool WaitForNamedProcesses(const Job& job, DWORD timeout) {
  std::vector<std::wstring> names;
  auto range = job.values.equal_range("await");
  for (auto it = range.first; it != range.second; ++it) {
    names.push_back(it->second);
  }
  const ULONGLONG begin = GetTickCount64();
  while (AnyProcessNamed(names)) {
    if (GetTickCount64() - begin > timeout) {
      return false;
    }
    Sleep(50);
  }
  return true;
}

// The pipe of handle_probe: its write end inheritable, named in the
// environment the launcher gets.
struct HandleProbe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
};

bool OpenHandleProbe(HandleProbe* probe) {
  SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
  if (!CreatePipe(&probe->read, &probe->write, &inheritable, 0)) {
    return false;
  }
  SetHandleInformation(probe->read, HANDLE_FLAG_INHERIT, 0);
  const std::wstring value =
      std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(probe->write)));
  return SetEnvironmentVariableW(L"ZTK_PROBE_HANDLE", value.c_str()) != FALSE;
}

void ReportHandleProbe(const HandleProbe& probe, Output* out) {
  DWORD available = 0;
  PeekNamedPipe(probe.read, nullptr, 0, nullptr, &available, nullptr);
  out->Line("probe", available > 0 ? "reached" : "none");
  CloseHandle(probe.read);
}

void ReportPendingRenames(Output* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    out->Line("pending.count", "0");
    return;
  }
  DWORD type = 0;
  DWORD size = 0;
  std::vector<wchar_t> data;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) ==
      ERROR_SUCCESS) {
    data.resize(size / sizeof(wchar_t) + 2, L'\0');
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                     reinterpret_cast<BYTE*>(data.data()), &size);
    data.resize(size / sizeof(wchar_t));
  }
  RegCloseKey(key);
  // REG_MULTI_SZ: strings one after another, each terminated, the list ends
  // in an extra terminator; renames are pairs (source, target or empty).
  std::vector<std::wstring> strings;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = start;
    while (end < data.size() && data[end] != 0) {
      ++end;
    }
    strings.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(start),
                         data.begin() + static_cast<std::ptrdiff_t>(end));
    start = end + 1;
  }
  while (!strings.empty() && strings.back().empty() && strings.size() % 2 == 1) {
    strings.pop_back();
  }
  out->Line("pending.count", std::to_string(strings.size()));
  for (const std::wstring& s : strings) {
    out->Line("pending", Utf8(s));
  }
}

}  // namespace

// NOLINTNEXTLINE(readability-identifier-naming): the runtime calls it by this name
int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    return 2;
  }
  Job job;
  if (!ReadJob(argv[1], &job)) {
    return 2;
  }
  Output out(job.Get("out", std::wstring(argv[1]) + L".out"));
  if (!out.Ok()) {
    return 2;
  }
  const DWORD timeout = static_cast<DWORD>(_wtoi(job.Get("timeout", L"60000").c_str()));
  const DWORD dismissAfter = static_cast<DWORD>(_wtoi(job.Get("dismiss_after", L"0").c_str()));

  // The session's desktop process starts now, as the starter's child, not
  // later as one of the launcher's.
  GetDesktopWindow();
  PrepareEnvironment(job);
  HandleProbe probe;
  const bool probing = job.Get("handle_probe") == L"1";
  if (probing && !OpenHandleProbe(&probe)) {
    out.Line("started", "0");
    out.Line("error", "probe " + std::to_string(GetLastError()));
    return 1;
  }
  const std::wstring launcher = job.Get("launcher");
  const std::wstring cwd = job.Get("cwd", FolderOf(launcher));
  std::wstring commandLine = L"\"" + launcher + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(launcher.c_str(), &commandLine[0], nullptr, nullptr, probing ? TRUE : FALSE,
                      CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB, nullptr, cwd.c_str(), &startup,
                      &process)) {
    out.Line("started", "0");
    out.Line("error", std::to_string(GetLastError()));
    return 1;
  }
  // Everything the launcher starts joins the job, so its end can be awaited.
  HANDLE tree = CreateJobObjectW(nullptr, nullptr);
  const bool tracked = tree != nullptr && AssignProcessToJobObject(tree, process.hProcess);
  ResumeThread(process.hThread);
  if (probing) {
    CloseHandle(probe.write);  // only the launcher's copy may be left
  }
  out.Line("started", "1");
  out.Line("pid", std::to_string(process.dwProcessId));

  const bool dismissWithOk = job.Get("dismiss_with") == L"ok";
  if (WaitForLauncher(process.hProcess, process.dwProcessId, timeout, dismissAfter, dismissWithOk,
                      &out) != WAIT_OBJECT_0) {
    out.Line("exit", "timeout");
    TerminateProcess(process.hProcess, 259);
  } else {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    out.Line("exit", std::to_string(code));
  }
  if (tracked) {
    out.Line("descendants", WaitForDescendants(tree, timeout) ? "done" : "timeout");
  } else {
    out.Line("descendants", "untracked");
  }
  if (!WaitForNamedProcesses(job, timeout)) {
    out.Line("descendants", "timeout");
  }
  if (probing) {
    ReportHandleProbe(probe, &out);
  }
  ReportPendingRenames(&out);
  out.Line("end", "1");
  return 0;
}
