// The hooks of the test build; empty in the shipped program.
#include "launcher/test_hooks.h"

#if ZTK_TEST_HOOKS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "base/crc32.h"
#include "base/scoped_win.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace {
constexpr DWORD kNameCapacity = 1024;
constexpr uint32_t kCrcCheckValue = 0xCBF43926u;  // CRC-32 of "123456789"

uint64_t allocationCalls = 0;
uint64_t failingCall = 0;

// Opened, appended to and closed per line: a line is on disk even when the
// process ends abnormally right after it.
void AppendLine(const char* line) {
  wchar_t path[kNameCapacity];
  const DWORD length = GetEnvironmentVariableW(L"ZTK_HOOK_LOG", path, kNameCapacity);
  if (length == 0 || length >= kNameCapacity) {
    return;
  }
  const ScopedHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file.Get(), line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  WriteFile(file.Get(), "\n", 1, &written, nullptr);
}

void* FailingRealloc(void* block, size_t bytes) {
  ++allocationCalls;
  if (allocationCalls == failingCall) {
    char line[128];
    std::snprintf(line, sizeof line, "allocation %llu fails (%llu bytes)",
                  static_cast<unsigned long long>(allocationCalls),
                  static_cast<unsigned long long>(bytes));
    AppendLine(line);
    return nullptr;
  }
  return std::realloc(block, bytes);
}
}  // namespace

void RecordStep(const char* step) { AppendLine(step); }

void RecordFlowBegin() {
  const uint32_t crc = ~Crc32(0xFFFFFFFFu, "123456789", 9);
  AppendLine(crc == kCrcCheckValue ? "flow begin, crc32 ready" : "flow begin, crc32 wrong");
}

void RecordFlowEnd(int32_t result) {
  char line[64];
  std::snprintf(line, sizeof line, "flow end %d", static_cast<int>(result));
  AppendLine(line);
}

void RecordCatalogEnd(const MessageCatalog& catalog) {
  if (catalog.Text() == nullptr && catalog.Index().items == nullptr) {
    AppendLine("exit catalog: frees nothing");
  } else if (catalog.Index().items == nullptr) {
    AppendLine("exit catalog: frees text");
  } else {
    AppendLine("exit catalog: frees text and index");
  }
}

void RecordResourceModuleEnd(const ResourceModule& holder) {
  AppendLine(holder.loaded ? "exit resource-module: releases the language module"
                           : "exit resource-module: releases nothing");
}

void InstallAllocationFailure() {
  wchar_t text[32];
  const DWORD length = GetEnvironmentVariableW(L"ZTK_FAIL_ALLOC", text, 32);
  if (length == 0 || length >= 32) {
    return;
  }
  failingCall = std::wcstoull(text, nullptr, 10);
  if (failingCall == 0) {
    return;
  }
  CatalogRealloc = FailingRealloc;
  // The ZTK_EXIT that follows ends the process through terminate and abort. A
  // runtime that reports abort in a message box for GUI programs would stop
  // the test there; its report goes to standard error instead.
  _set_error_mode(_OUT_TO_STDERR);
}
#endif
