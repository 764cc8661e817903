// Holds a file open without sharing, as another program might, so that the
// launcher meets a file it cannot open: the catalog scenarios lock
// launcher.lng with it while the launcher runs.
//
// Usage: file_locker.exe FILE READY RELEASE. Opens FILE for reading with no
// sharing, creates READY once it holds the file (or exits 1 when it cannot),
// then waits until RELEASE exists (at most two minutes) and closes FILE.
#include <windows.h>

namespace {
bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

int wmain(int argc, wchar_t** argv) {  // NOLINT(readability-identifier-naming): the entry point
  if (argc != 4) {
    return 2;
  }
  HANDLE held = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    return 1;
  }
  HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ready != INVALID_HANDLE_VALUE) {
    CloseHandle(ready);
  }
  for (int waited = 0; waited < 120000 && !Exists(argv[3]); waited += 50) {
    Sleep(50);
  }
  CloseHandle(held);
  return 0;
}
