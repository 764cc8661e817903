// The registry helpers against Wine's real registry, on test keys made and
// removed here.
#include "module/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/wide_bridge.h"
#include "tests/windows/process_id_text.h"

namespace {
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    userSub_ = u"H1Test" + Pid();
    userPath_ = u"Software\\Zentak\\" + userSub_;
    machinePath_ = u"Software\\ZentakH1Test" + Pid();
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AsWide(userPath_.c_str()), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &user_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, AsWide(machinePath_.c_str()), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &machine_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(user_);
    RegCloseKey(machine_);
    RegDeleteKeyW(HKEY_CURRENT_USER, AsWide(userPath_.c_str()));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, AsWide(machinePath_.c_str()));
  }

  // Stores `bytes` bytes of text (which may leave out the terminator or end
  // in the middle of a unit) as a value of the given type.
  static void Set(HKEY key, const char16_t* name, const char16_t* text, DWORD bytes,
                  DWORD type = REG_SZ) {
    ASSERT_EQ(
        RegSetValueExW(key, AsWide(name), 0, type, reinterpret_cast<const BYTE*>(text), bytes),
        ERROR_SUCCESS);
  }

  std::u16string Read(RegistryKey root, const std::u16string& sub, const char16_t* value,
                      uint32_t cap, bool* used) {
    std::u16string buffer(cap + 1, u'#');
    *used = ReadRegistryString(root, sub.c_str(), value, &buffer[0], u"default", cap);
    EXPECT_EQ(buffer[cap], u'#') << "wrote past the capacity";
    return std::u16string(buffer.c_str());
  }

  std::u16string userSub_, userPath_, machinePath_;
  HKEY user_ = nullptr;
  HKEY machine_ = nullptr;
};

TEST_F(RegistryTest, PredefinedKeysAreThePlatformsValues) {
  EXPECT_EQ(RegistryCurrentUser(), static_cast<RegistryKey>(HKEY_CURRENT_USER));
  EXPECT_EQ(RegistryLocalMachine(), static_cast<RegistryKey>(HKEY_LOCAL_MACHINE));
}

TEST_F(RegistryTest, MapProductKeyPath) {
  const struct {
    RegistryKey root;
    const char16_t* sub;
    const char16_t* mapped;
  } cases[] = {
      {RegistryCurrentUser(), u"General", u"Software\\Zentak\\General"},
      {RegistryCurrentUser(), u"", u"Software\\Zentak"},
      {RegistryCurrentUser(), u"\\Software\\Other", u"Software\\Other"},
      {RegistryLocalMachine(), u"Software\\Other", u"Software\\Other"},
      {RegistryLocalMachine(), u"\\Software\\Other", u"\\Software\\Other"},
  };
  for (const auto& c : cases) {
    char16_t dst[64];
    EXPECT_TRUE(MapProductKeyPath(c.root, c.sub, dst, 64));
    EXPECT_EQ(std::u16string(dst), c.mapped);
  }
  char16_t small[12];
  EXPECT_TRUE(MapProductKeyPath(RegistryCurrentUser(), u"General", small, 12));
  EXPECT_EQ(std::u16string(small), u"Software\\Ze");
}

TEST_F(RegistryTest, OpenAndClose) {
  RegistryKey key = OpenRegistryKey(RegistryCurrentUser(), userSub_.c_str());
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(CloseRegistryKey(key));
  key = OpenRegistryKey(RegistryCurrentUser(), (u"\\" + userPath_).c_str());
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(CloseRegistryKey(key));
  key = OpenRegistryKey(RegistryLocalMachine(), machinePath_.c_str());
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(CloseRegistryKey(key));
  EXPECT_EQ(OpenRegistryKey(RegistryCurrentUser(), (userSub_ + u"\\absent").c_str()), nullptr);
  EXPECT_FALSE(CloseRegistryKey(nullptr));
}

TEST_F(RegistryTest, ReadsTheStoredTextWithinTheCapacity) {
  Set(machine_, u"sz", u"abc", 8);
  // The units after the counted bytes are not zero: a terminator right after
  // them would be counted in by the registry itself.
  Set(machine_, u"exact", u"abcdefghX", 16);  // 2 x 8 bytes, no terminator
  Set(machine_, u"over", u"abcdefgh", 18);    // with its terminator: 18 bytes
  Set(machine_, u"odd", u"abcX", 5);          // "ab" and half a unit
  Set(machine_, u"expand", u"%SystemRoot%", 26, REG_EXPAND_SZ);
  Set(machine_, u"binary", u"xy", 4, REG_BINARY);
  Set(machine_, u"empty", u"", 0);
  const struct {
    const char16_t* value;
    uint32_t cap;
    bool used;
    const char16_t* text;
  } cases[] = {
      {u"sz", 8, true, u"abc"},
      {u"exact", 8, true, u"abcdefg"},  // the terminator takes the last unit
      {u"exact", 9, true, u"abcdefgh"},
      {u"over", 8, false, u"default"},
      {u"over", 9, true, u"abcdefgh"},
      {u"odd", 8, true, u"ab"},
      {u"expand", 32, true, u"%SystemRoot%"},  // not expanded
      {u"binary", 8, true, u"xy"},             // the type is not examined
      {u"empty", 8, true, u""},
      {u"absent", 8, false, u"default"},
      {u"absent", 4, false, u"def"},
      {u"sz", 1, false, u""},  // "abc" needs 8 bytes, 2 offered
  };
  for (const auto& c : cases) {
    bool used = false;
    EXPECT_EQ(Read(RegistryLocalMachine(), machinePath_, c.value, c.cap, &used), c.text)
        << testing::PrintToString(std::u16string(c.value)) << " cap " << c.cap;
    EXPECT_EQ(used, c.used) << testing::PrintToString(std::u16string(c.value));
  }
}

TEST_F(RegistryTest, UserReadsAreRelativeToTheProductKey) {
  Set(user_, u"LanguageFolder", u"C:\\lang", 16);
  bool used = false;
  EXPECT_EQ(Read(RegistryCurrentUser(), userSub_, u"LanguageFolder", 64, &used), u"C:\\lang");
  EXPECT_TRUE(used);
  EXPECT_EQ(Read(RegistryCurrentUser(), u"\\" + userPath_, u"LanguageFolder", 64, &used),
            u"C:\\lang");
  EXPECT_TRUE(used);
  // Without the leading backslash a full path is taken as below the product's key.
  EXPECT_EQ(Read(RegistryCurrentUser(), userPath_, u"LanguageFolder", 64, &used), u"default");
  EXPECT_FALSE(used);
  EXPECT_EQ(Read(RegistryLocalMachine(), u"Software\\ZentakAbsentKey", u"x", 64, &used),
            u"default");
  EXPECT_FALSE(used);
}
}  // namespace
