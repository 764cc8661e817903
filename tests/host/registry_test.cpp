// ReadRegistryString against a scripted registry: its bounds, its default,
// and the key closed whatever the query gives.
#include "module/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "base/system_calls.h"

namespace {
struct Script {
  bool keyOpens = true;
  std::u16string value;    // as stored
  bool terminated = true;  // stored with its terminator
  uint32_t access = 0;
  int opens = 0, closes = 0;
} script;

int32_t FakeOpen(PlatformKey, const char16_t*, uint32_t access, PlatformKey* key) {
  script.access = access;
  *key = script.keyOpens ? &script : nullptr;
  script.opens += script.keyOpens ? 1 : 0;
  return script.keyOpens ? regapi::kSuccess : regapi::kErrorFileNotFound;
}
int32_t FakeQuery(PlatformKey, const char16_t*, void* data, uint32_t* size) {
  const size_t units = script.value.size() + (script.terminated ? 1 : 0);
  if (2 * units > *size) return regapi::kErrorMoreData;
  std::u16string stored = script.value + u'\0';
  stored.copy(static_cast<char16_t*>(data), units);
  *size = static_cast<uint32_t>(2 * units);
  return regapi::kSuccess;
}
int32_t FakeClose(PlatformKey) {
  ++script.closes;
  return regapi::kSuccess;
}

class RegistryReadTest : public testing::Test {
 protected:
  void SetUp() override {
    script = Script{};
    Sys.regOpenKey = FakeOpen;
    Sys.regQueryValue = FakeQuery;
    Sys.regCloseKey = FakeClose;
  }
  SystemCallsOverride restore_;
};

TEST_F(RegistryReadTest, BoundsAndDefault) {
  struct Case {
    const char* what;
    bool keyOpens;
    std::u16string value;
    bool terminated;
    uint32_t cap;
    const char16_t* defaultText;
    bool used;
    std::u16string expected;
  } cases[] = {
      {"fits", true, u"C:\\Partner", true, 16, u"default", true, u"C:\\Partner"},
      {"fills 2 x cap bytes unterminated", true, u"abcd", false, 4, u"dflt", true, u"abc"},
      {"needs more than 2 x cap bytes", true, u"abcd", true, 4, u"dflt", false, u"dfl"},
      {"no key", false, u"abc", true, 8, u"default", false, u"default"},
      {"no default", false, u"abc", true, 8, nullptr, false, u""},
  };
  for (const Case& c : cases) {
    script = Script{};
    script.keyOpens = c.keyOpens;
    script.value = c.value;
    script.terminated = c.terminated;
    char16_t dst[32] = u"untouched";
    EXPECT_EQ(
        ReadRegistryString(RegistryLocalMachine(), u"Key", u"Value", dst, c.defaultText, c.cap),
        c.used)
        << c.what;
    EXPECT_EQ(std::u16string(dst), c.expected) << c.what;
    EXPECT_EQ(script.closes, script.opens) << c.what;
  }
  EXPECT_EQ(script.access, regapi::kQueryValue | regapi::kEnumerateSubKeys);
}

TEST_F(RegistryReadTest, CapacityZeroTouchesNothing) {
  char16_t dst[4] = u"abc";
  EXPECT_FALSE(ReadRegistryString(RegistryLocalMachine(), u"Key", u"Value", dst, u"d", 0));
  EXPECT_EQ(std::u16string(dst), u"abc");
  EXPECT_EQ(script.opens, 0);
}
}  // namespace
