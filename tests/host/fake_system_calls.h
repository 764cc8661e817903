// One scripted Sys table for the native tests: a registry of one key, the
// environment's expansion, the file system's attributes, deletion and current
// directory, and files read through handles, with failures that real files
// cannot be made to produce on demand. A fixture derived from FakeSystemTest
// starts each test from a fresh script and gets the real table back at its end.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/system_calls.h"

// Distinct handle values that are never real handles.
inline char handleTokens[3];
inline PlatformHandle const kFileHandle = &handleTokens[0];
inline PlatformHandle const kStdInHandle = &handleTokens[1];
inline PlatformHandle const kLongFormHandle = &handleTokens[2];

struct ReadStep {
  bool ok;
  uint32_t bytes;  // on success: how many are delivered
  uint32_t error;  // on failure
};

struct CreateStep {
  PlatformHandle result;
  uint32_t error;
};

struct CreateCall {
  std::u16string name;
  uint32_t access, share, flags;
};

struct SystemScript {
  // The registry: one key, one value.
  bool keyOpens = true;
  bool hasValue = true;
  std::u16string value;    // as stored
  bool terminated = true;  // stored with its terminator
  uint32_t access = 0;     // asked by the last open
  uint32_t offered = 0;    // bytes offered to the last query
  int opens = 0, closes = 0;
  // The environment.
  bool expandFails = false;
  uint32_t expandResult = 0;  // 0: the real size needed
  std::u16string expanded;    // empty: the text unchanged
  // The file system.
  std::set<std::u16string> files, folders;
  std::u16string deletable;  // the one path that can be deleted; u"*": every path
  std::vector<std::u16string> deleted;
  std::u16string directory = u"D:\\work";
  uint32_t directoryResult = 0;       // 0: the real length
  std::vector<std::u16string> calls;  // "attr:" / "del:" / "cwd:<size>" and the text
  int probes = 0;                     // attribute queries
  // Files through handles: a created file reads as 'a's, then 'b's, ...
  std::deque<CreateStep> creates;  // empty: every create gives kFileHandle
  std::vector<CreateCall> createCalls;
  std::deque<ReadStep> reads;  // empty: every read delivers what it asks
  std::vector<uint32_t> readCounts;
  std::vector<PlatformHandle> readHandles;
  std::vector<int64_t> readPositions;
  uint32_t fileType = fileapi::kFileTypeDisk;
  int64_t position = 0;
  int64_t size = 0;
  bool seekFails = false;
  std::vector<PlatformHandle> closed;
  bool closeResult = true;
  int stdInputCalls = 0;
  uint32_t lastError = 0;
};

inline SystemScript script;

inline int32_t FakeOpen(PlatformKey, const char16_t*, uint32_t access, PlatformKey* key) {
  script.access = access;
  *key = script.keyOpens ? &script : nullptr;
  script.opens += script.keyOpens ? 1 : 0;
  return script.keyOpens ? regapi::kSuccess : regapi::kErrorFileNotFound;
}
inline int32_t FakeQuery(PlatformKey, const char16_t*, void* data, uint32_t* size) {
  script.offered = *size;
  if (!script.hasValue) return regapi::kErrorFileNotFound;
  const size_t units = script.value.size() + (script.terminated ? 1 : 0);
  if (2 * units > *size) {
    *size = static_cast<uint32_t>(2 * units);
    return regapi::kErrorMoreData;
  }
  script.value.copy(static_cast<char16_t*>(data), script.value.size());
  if (script.terminated) static_cast<char16_t*>(data)[script.value.size()] = 0;
  *size = static_cast<uint32_t>(2 * units);
  return regapi::kSuccess;
}
inline int32_t FakeCloseKey(PlatformKey) {
  ++script.closes;
  return regapi::kSuccess;
}
inline uint32_t FakeExpand(const char16_t* source, char16_t* buffer, uint32_t size) {
  const std::u16string text = script.expanded.empty() ? std::u16string(source) : script.expanded;
  if (script.expandFails) return 0;
  if (text.size() < size) CopyBounded(buffer, text.c_str(), size);
  return script.expandResult != 0 ? script.expandResult : static_cast<uint32_t>(text.size() + 1);
}
inline uint32_t FakeAttributes(const char16_t* path) {
  ++script.probes;
  script.calls.push_back(u"attr:" + std::u16string(path));
  if (script.folders.count(path) != 0) return fileapi::kAttributeDirectory;
  return script.files.count(path) != 0 ? 0x20u : fileapi::kInvalidAttributes;
}
inline bool FakeDelete(const char16_t* path) {
  script.calls.push_back(u"del:" + std::u16string(path));
  script.deleted.emplace_back(path);
  return script.deletable == u"*" || script.deletable == path;
}
// Writes the directory only when offered the room MakeLongPath offers.
inline uint32_t FakeDirectory(uint32_t size, char16_t* buffer) {
  std::u16string call = u"cwd:";
  for (char c : std::to_string(size)) call += static_cast<char16_t>(c);
  script.calls.push_back(call);
  if (size == kPathCapacity - 1) CopyBounded(buffer, script.directory.c_str(), size);
  return script.directoryResult != 0 ? script.directoryResult
                                     : static_cast<uint32_t>(script.directory.size());
}

inline PlatformHandle FakeCreate(const char16_t* name, uint32_t access, uint32_t share,
                                 uint32_t flags) {
  script.createCalls.push_back({name, access, share, flags});
  if (script.creates.empty()) return kFileHandle;
  const CreateStep step = script.creates.front();
  script.creates.pop_front();
  if (step.result == InvalidPlatformHandle()) script.lastError = step.error;
  return step.result;
}
inline bool FakeRead(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* done) {
  script.readCounts.push_back(count);
  script.readHandles.push_back(handle);
  script.readPositions.push_back(script.position);
  ReadStep step{true, count, 0};
  if (!script.reads.empty()) {
    step = script.reads.front();
    script.reads.pop_front();
  }
  if (!step.ok) {
    script.lastError = step.error;
    *done = 0;
    return false;
  }
  const uint32_t n = step.bytes < count ? step.bytes : count;
  std::memset(buffer, 'a' + static_cast<int>(script.readCounts.size() - 1), n);
  script.position += n;
  *done = n;
  return true;
}
inline uint32_t FakeSetFilePointer(PlatformHandle, int32_t low, int32_t* high, uint32_t method) {
  const int64_t distance = static_cast<int64_t>(
      (static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32) | static_cast<uint32_t>(low));
  const int64_t base = method == fileapi::kFileBegin     ? 0
                       : method == fileapi::kFileCurrent ? script.position
                                                         : script.size;
  const int64_t target = base + distance;
  if (script.seekFails || target < 0) {
    script.lastError = fileapi::kErrorNegativeSeek;
    return fileapi::kInvalidSetFilePointer;
  }
  script.position = target;
  script.lastError = 0;
  *high = static_cast<int32_t>(static_cast<uint64_t>(target) >> 32);
  return static_cast<uint32_t>(target);
}
inline bool FakeCloseHandle(PlatformHandle handle) {
  script.closed.push_back(handle);
  if (!script.closeResult) script.lastError = fileapi::kErrorInvalidHandle;
  return script.closeResult;
}
inline uint32_t FakeFileType(PlatformHandle) { return script.fileType; }
inline PlatformHandle FakeStdInput() {
  ++script.stdInputCalls;
  return kStdInHandle;
}
inline uint32_t FakeLastError() { return script.lastError; }

class FakeSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    script = SystemScript{};
    Sys.regOpenKey = FakeOpen;
    Sys.regQueryValue = FakeQuery;
    Sys.regCloseKey = FakeCloseKey;
    Sys.expandEnvironmentStrings = FakeExpand;
    Sys.getFileAttributes = FakeAttributes;
    Sys.deleteFile = FakeDelete;
    Sys.getCurrentDirectory = FakeDirectory;
    Sys.createFile = FakeCreate;
    Sys.readFile = FakeRead;
    Sys.setFilePointer = FakeSetFilePointer;
    Sys.closeHandle = FakeCloseHandle;
    Sys.getFileType = FakeFileType;
    Sys.getStdInput = FakeStdInput;
    Sys.getLastError = FakeLastError;
  }
  SystemCallsOverride restore_;
};
