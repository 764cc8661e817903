// The language-folder redirect against a scripted registry, expansion and
// file system: every way the redirect is refused, and the key always closed.
#include "module/language_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/bounded_text.h"
#include "base/system_calls.h"
#include "module/resource_module.h"

namespace {
constexpr char16_t kInput[] = u"C:\\prog\\ztklng.dll";

struct Script {
  bool keyOpens = true;
  bool hasValue = true;
  std::u16string value;    // the folder text as stored
  bool terminated = true;  // stored with its terminator
  bool expandFails = false;
  uint32_t expandResult = 0;  // 0: the real size needed
  std::u16string expanded;    // empty: the value unchanged
  std::set<std::u16string> files, folders;
  uint32_t offered = 0;  // bytes offered to the last query
  int opens = 0, closes = 0, probes = 0;
} script;

int32_t FakeOpen(PlatformKey, const char16_t*, uint32_t, PlatformKey* key) {
  *key = script.keyOpens ? &script : nullptr;
  script.opens += script.keyOpens ? 1 : 0;
  return script.keyOpens ? regapi::kSuccess : regapi::kErrorFileNotFound;
}
int32_t FakeQuery(PlatformKey, const char16_t*, void* data, uint32_t* size) {
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
int32_t FakeClose(PlatformKey) {
  ++script.closes;
  return regapi::kSuccess;
}
uint32_t FakeExpand(const char16_t* source, char16_t* buffer, uint32_t size) {
  const std::u16string text = script.expanded.empty() ? std::u16string(source) : script.expanded;
  if (script.expandFails) return 0;
  if (text.size() < size) CopyBounded(buffer, text.c_str(), size);
  return script.expandResult != 0 ? script.expandResult : static_cast<uint32_t>(text.size() + 1);
}
uint32_t FakeAttributes(const char16_t* path) {
  ++script.probes;
  if (script.folders.count(path) != 0) return fileapi::kAttributeDirectory;
  return script.files.count(path) != 0 ? 0x20u : fileapi::kInvalidAttributes;
}

class LanguageFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    script = Script{};
    Sys.regOpenKey = FakeOpen;
    Sys.regQueryValue = FakeQuery;
    Sys.regCloseKey = FakeClose;
    Sys.expandEnvironmentStrings = FakeExpand;
    Sys.getFileAttributes = FakeAttributes;
  }
  static std::u16string Redirect(const char16_t* input = kInput) {
    char16_t dst[kPathCapacity] = u"untouched";
    RedirectToLanguageFolder(input, dst, kPathCapacity);
    return dst;
  }
  SystemCallsOverride restore_;
};

TEST_F(LanguageFolderTest, EachFailureKeepsTheInputAndClosesTheKey) {
  struct Case {
    const char* what;
    void (*stage)();
  } cases[] = {
      {"no key", [] { script.keyOpens = false; }},
      {"no value", [] { script.hasValue = false; }},
      // 2 * (2047 - 18) = 4058 bytes offered; this needs 4060.
      {"value too large",
       [] {
         script.value = u"D:\\" + std::u16string(2026, u'v');
         script.files = {script.value + u"\\ztklng.dll"};
       }},
      {"expansion fails", [] { script.expandFails = true; }},
      {"expansion does not fit", [] { script.expandResult = kPathCapacity + 1; }},
      // The folder fits, the name after it does not.
      {"candidate does not fit",
       [] {
         script.expanded.assign(kPathCapacity - 10, u'd');
         script.files = {(script.expanded + u"\\ztklng.dll").substr(0, kPathCapacity - 1)};
       }},
      {"candidate missing", [] { script.files.clear(); }},
  };
  for (const Case& c : cases) {
    script = Script{};
    script.value = u"D:\\lang";
    // The bare name too: what an unexpanded, empty folder would give.
    script.files = {u"D:\\lang\\ztklng.dll", u"ztklng.dll"};
    c.stage();
    EXPECT_EQ(Redirect(), kInput) << c.what;
    EXPECT_EQ(script.closes, script.opens) << c.what;
  }
}

TEST_F(LanguageFolderTest, TakesAnExistingCandidate) {
  struct Case {
    std::u16string value;
    bool terminated;
    bool folder;
    std::u16string expected;
  } cases[] = {
      {u"D:\\lang", true, false, u"D:\\lang\\ztklng.dll"},
      {u"D:\\lang\\", false, false, u"D:\\lang\\ztklng.dll"},  // ends with the bytes
      {u"D:\\lang", true, true, u"D:\\lang\\ztklng.dll"},      // a directory passes too
      {u"", true, false, u"ztklng.dll"},                       // the bare name
  };
  for (const Case& c : cases) {
    script = Script{};
    script.value = c.value;
    script.terminated = c.terminated;
    (c.folder ? script.folders : script.files) = {c.expected};
    EXPECT_EQ(Redirect(), c.expected) << std::string(c.value.begin(), c.value.end());
    EXPECT_EQ(script.closes, 1);
  }
}

TEST_F(LanguageFolderTest, RedirectsInPlace) {
  script.value = u"D:\\lang";
  script.files = {u"D:\\lang\\launcher.lng"};
  char16_t path[kPathCapacity] = u"launcher.lng";
  RedirectToLanguageFolder(path, path, kPathCapacity);
  EXPECT_EQ(std::u16string(path), u"D:\\lang\\launcher.lng");
}

TEST_F(LanguageFolderTest, OffersTwiceTheRoomTheWholeInputLeaves) {
  script.hasValue = false;
  Redirect(u"launcher.lng");
  EXPECT_EQ(script.offered, 4070u);
  const std::u16string longest(kPathCapacity - 2, u'p');
  Redirect(longest.c_str());
  EXPECT_EQ(script.offered, 2u);
}
}  // namespace
