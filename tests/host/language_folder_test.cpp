// The language-folder redirect against a scripted registry, expansion and
// file system: every way the redirect is refused, and the key always closed.
#include "module/language_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"
#include "module/resource_module.h"
#include "tests/host/fake_system_calls.h"

namespace {
constexpr char16_t kInput[] = u"C:\\prog\\ztklng.dll";

class LanguageFolderTest : public FakeSystemTest {
 protected:
  static std::u16string Redirect(const char16_t* input = kInput) {
    char16_t dst[kPathCapacity] = u"untouched";
    RedirectToLanguageFolder(input, dst, kPathCapacity);
    return dst;
  }
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
    script = SystemScript{};
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
  };
  for (const Case& c : cases) {
    script = SystemScript{};
    script.value = c.value;
    script.terminated = c.terminated;
    (c.folder ? script.folders : script.files) = {c.expected};
    EXPECT_EQ(Redirect(), c.expected) << std::string(c.value.begin(), c.value.end());
    EXPECT_EQ(script.closes, 1);
  }
}

// Only a folder on a local drive is taken: the elevated launcher reads nothing
// over the network, nor from a folder the current directory decides.
TEST_F(LanguageFolderTest, OnlyALocalDrivesFolderIsTaken) {
  static uint32_t driveType;
  static std::u16string root;
  Sys.getDriveType = [](const char16_t* asked) {
    root = asked;
    return driveType;
  };
  struct Case {
    const char16_t* folder;
    uint32_t type;
    bool taken;
  } cases[] = {
      {u"D:\\lang", fileapi::kDriveFixed, true},
      {u"d:/lang", fileapi::kDriveFixed, true},
      {u"D:\\lang", fileapi::kDriveRemovable, true},
      {u"D:\\lang", fileapi::kDriveCdRom, true},
      {u"D:\\lang", fileapi::kDriveRamDisk, true},
      {u"D:\\lang", fileapi::kDriveRemote, false},  // a mapped network drive
      {u"D:\\lang", fileapi::kDriveUnknown, false},
      {u"D:\\lang", fileapi::kDriveNoRootDir, false},
      {u"\\\\server\\share\\lang", fileapi::kDriveFixed, false},
      {u"//server/share/lang", fileapi::kDriveFixed, false},
      {u"\\\\?\\D:\\lang", fileapi::kDriveFixed, false},
      {u"\\\\?\\UNC\\server\\share", fileapi::kDriveFixed, false},
      {u"\\\\.\\D:\\lang", fileapi::kDriveFixed, false},
      {u"D:lang", fileapi::kDriveFixed, false},  // relative to D:'s current directory
      {u"lang", fileapi::kDriveFixed, false},
      {u"\\lang", fileapi::kDriveFixed, false},  // the current drive's
      {u"", fileapi::kDriveFixed, false},        // the current directory
      {u"1:\\lang", fileapi::kDriveFixed, false},
  };
  for (const Case& c : cases) {
    script = SystemScript{};
    script.value = c.folder;
    driveType = c.type;
    root.clear();
    const std::u16string folder = c.folder;
    const std::u16string candidate = folder + (folder.empty() ? u"" : u"\\") + u"ztklng.dll";
    script.files = {candidate, u"ztklng.dll"};
    char16_t dst[kPathCapacity];
    const std::string what =
        std::string(folder.begin(), folder.end()) + " " + std::to_string(c.type);
    EXPECT_EQ(RedirectToLanguageFolder(kInput, dst, kPathCapacity), c.taken) << what;
    EXPECT_EQ(std::u16string(dst), c.taken ? candidate : kInput) << what;
    EXPECT_EQ(script.closes, 1) << what;
    if (c.taken) EXPECT_EQ(root, folder.substr(0, 2) + u"\\") << what;
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
