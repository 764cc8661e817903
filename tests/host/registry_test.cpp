// ReadRegistryString against a scripted registry: its bounds, its default,
// and the key closed whatever the query gives.
#include "module/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/host/fake_system_calls.h"

namespace {
class RegistryReadTest : public FakeSystemTest {};

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
    script = SystemScript{};
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
