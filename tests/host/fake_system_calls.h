// One scripted Sys table for the native tests: a registry of one key, the
// environment's expansion and the file system's attributes, deletion and
// current directory. A fixture derived from FakeSystemTest starts each test
// from a fresh script and gets the real table back at its end.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/system_calls.h"

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
  std::u16string deletable;  // the one path that can be deleted
  std::u16string directory = u"D:\\work";
  uint32_t directoryResult = 0;       // 0: the real length
  std::vector<std::u16string> calls;  // "attr:" / "del:" / "cwd:<size>" and the text
  int probes = 0;                     // attribute queries
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
inline int32_t FakeClose(PlatformKey) {
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
  return script.deletable == path;
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

class FakeSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    script = SystemScript{};
    Sys.regOpenKey = FakeOpen;
    Sys.regQueryValue = FakeQuery;
    Sys.regCloseKey = FakeClose;
    Sys.expandEnvironmentStrings = FakeExpand;
    Sys.getFileAttributes = FakeAttributes;
    Sys.deleteFile = FakeDelete;
    Sys.getCurrentDirectory = FakeDirectory;
  }
  SystemCallsOverride restore_;
};
