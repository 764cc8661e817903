// The language module and the string fetch under Wine. This program lives in
// fixtures/lang_beside, beside a ztklng.dll of its own; the other fixture
// folders hold a second module, a directory and a text file of that name, or
// nothing. The user's hive is redirected to a private key for the whole
// program, so "LanguageFolder" settings here meet no other test's.
#include "module/resource_module.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "localization/fetch_string.h"
#include "localization/message_catalog.h"
#include "module/language_folder.h"
#include "resources/resource_ids.h"
#include "tests/windows/process_id_text.h"

namespace {
std::u16string Fixtures() {
  wchar_t path[2048];
  const DWORD n = GetEnvironmentVariableW(L"ZTK_FIXTURES", path, 2048);
  return n > 0 && n < 2048 ? std::u16string(AsUtf16(path)) : std::u16string();
}

std::u16string Fixture(const char16_t* folder) { return Fixtures() + u"\\" + folder; }

std::u16string OwnPath() {
  wchar_t path[2048];
  GetModuleFileNameW(nullptr, path, 2048);
  return AsUtf16(path);
}

std::u16string Entry(ModuleHandle module, UINT id) {
  wchar_t text[512];
  const int n = LoadStringW(static_cast<HMODULE>(module), id, text, 512);
  return std::u16string(AsUtf16(text), n > 0 ? n : 0);
}

ModuleHandle Own() { return GetModuleHandleW(nullptr); }

class ResourceModuleTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    privateRoot_ = u"Software\\ZentakH1Hive" + Pid();
    HKEY hive = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AsWide(privateRoot_.c_str()), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hive, nullptr),
              ERROR_SUCCESS);
    const ScopedRegistryKey owned(hive);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, hive), ERROR_SUCCESS);
  }
  static void TearDownTestSuite() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, AsWide(privateRoot_.c_str()));
  }
  void SetUp() override {
    ASSERT_FALSE(Fixtures().empty()) << "ZTK_FIXTURES is not set";
    GetCurrentDirectoryW(MAX_PATH, savedDirectory_);
  }
  void TearDown() override {
    TheResourceModule.Release();
    ClearLanguageFolder();
    SetCurrentDirectoryW(savedDirectory_);
  }

  // Stores "LanguageFolder" with `bytes` bytes (default: the text and its
  // terminator) under the (redirected) user's Software\Zentak\General.
  static void SetLanguageFolder(const std::u16string& folder, DWORD bytes = 0) {
    std::u16string data = folder;
    if (bytes == 0) {
      bytes = static_cast<DWORD>(2 * (folder.size() + 1));
    }
    data.resize(bytes / 2 + 1, 0);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Zentak\\General", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const ScopedRegistryKey owned(key);
    EXPECT_EQ(RegSetValueExW(key, L"LanguageFolder", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(data.c_str()), bytes),
              ERROR_SUCCESS);
  }
  static void ClearLanguageFolder() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Zentak\\General", L"LanguageFolder");
  }

  // Loads as the launcher does and names the module that came back.
  static std::u16string LoadedFrom(const char16_t* path = nullptr) {
    TheResourceModule.Load(Own(), path);
    EXPECT_EQ(OwnModule, Own());
    if (!TheResourceModule.loaded) {
      EXPECT_EQ(ActiveModule, Own());
      return u"own";
    }
    EXPECT_NE(ActiveModule, Own());
    const std::u16string text = Entry(ActiveModule, IDS_INSTALLER_NAME);
    return text.substr(0, text.find(u' '));
  }

  static std::u16string privateRoot_;
  wchar_t savedDirectory_[MAX_PATH] = {};
};
std::u16string ResourceModuleTest::privateRoot_;

TEST_F(ResourceModuleTest, WithoutAModuleTheProgramUsesItsOwn) {
  EXPECT_EQ(LoadedFrom(Fixture(u"lang_none\\Launcher.exe").c_str()), u"own");
  TheResourceModule.Release();
  EXPECT_EQ(ActiveModule, Own());
  EXPECT_FALSE(TheResourceModule.loaded);
}

TEST_F(ResourceModuleTest, TheModuleBesideTheProgramIsLoadedAndReleased) {
  EXPECT_EQ(LoadedFrom(), u"beside");
  TheResourceModule.Release();
  EXPECT_FALSE(TheResourceModule.loaded);
  EXPECT_EQ(ActiveModule, OwnModule);
  // A second load replaces the first.
  EXPECT_EQ(LoadedFrom(), u"beside");
  EXPECT_EQ(LoadedFrom(Fixture(u"lang_folder\\Launcher.exe").c_str()), u"folder");
  EXPECT_FALSE(TheResourceModule.fromLanguageFolder);  // beside the path given
  EXPECT_EQ(LoadedFrom(Fixture(u"lang_none\\Launcher.exe").c_str()), u"own");
}

// The module may come from a folder the user can write: it is mapped as
// resources, never run as code, whatever the system.
TEST_F(ResourceModuleTest, TheModuleIsNeverRun) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring mark = std::wstring(temp) + L"ztk_module_code_ran";
  DeleteFileW(mark.c_str());
  const std::u16string path = Fixture(u"lang_code\\ztklng.dll");
  EXPECT_EQ(LoadedFrom(Fixture(u"lang_code\\Launcher.exe").c_str()), u"code");
  EXPECT_EQ(GetModuleHandleW(AsWide(path.c_str())), nullptr) << "loaded as a module";
  EXPECT_EQ(GetFileAttributesW(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "its code ran";
}

TEST_F(ResourceModuleTest, TheLanguageFolderDecides) {
  const struct {
    std::u16string folder;
    const char16_t* from;
  } cases[] = {
      {Fixture(u"lang_folder"), u"folder"},
      {Fixture(u"lang_folder") + u"\\", u"folder"},
      {Fixture(u"lang_none"), u"beside"},  // no file there: the copy beside the program
      // Something of that name that is no module: no fallback to the copy beside.
      {Fixture(u"lang_dir"), u"own"},
      {Fixture(u"lang_text"), u"own"},
      {Fixtures() + u"\\absent-folder", u"beside"},
  };
  for (const auto& c : cases) {
    SetLanguageFolder(c.folder);
    EXPECT_EQ(LoadedFrom(), c.from) << testing::PrintToString(c.folder);
    // What the user's folder gave is marked as the user's.
    EXPECT_EQ(TheResourceModule.fromLanguageFolder, std::u16string(c.from) == u"folder");
  }
}

TEST_F(ResourceModuleTest, TheFolderValueIsExpanded) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"ZTK_H1_FIXTURES", AsWide(Fixtures().c_str())));
  SetLanguageFolder(u"%ZTK_H1_FIXTURES%\\lang_folder");
  EXPECT_EQ(LoadedFrom(), u"folder");

  // An expansion that does not fit leaves no usable folder: no redirect.
  const std::u16string huge(3000, u'x');
  ASSERT_TRUE(SetEnvironmentVariableW(L"ZTK_H1_HUGE", AsWide(huge.c_str())));
  SetLanguageFolder(u"%ZTK_H1_HUGE%");
  EXPECT_EQ(LoadedFrom(), u"beside");
  SetEnvironmentVariableW(L"ZTK_H1_FIXTURES", nullptr);
  SetEnvironmentVariableW(L"ZTK_H1_HUGE", nullptr);
}

TEST_F(ResourceModuleTest, AFolderValueLargerThanTheSizeOfferedIsNotRead) {
  // The offer is 2 x (2047 - length of the module's path beside the program).
  std::u16string beside = OwnPath();
  beside.erase(beside.find_last_of(u"\\/") + 1);
  beside += u"ztklng.dll";
  const DWORD offered = static_cast<DWORD>(2 * (2047 - beside.size()));
  // The folder's text, then zero units up to the stored size: only the size
  // differs, the text read would be the same.
  SetLanguageFolder(Fixture(u"lang_folder"), offered);
  EXPECT_EQ(LoadedFrom(), u"folder");
  SetLanguageFolder(Fixture(u"lang_folder"), offered + 2);
  EXPECT_EQ(LoadedFrom(), u"beside");
}

// An empty or relative folder would be the current directory's, which
// whoever starts the launcher chooses: no redirect.
TEST_F(ResourceModuleTest, AnEmptyOrRelativeFolderValueIsNotTaken) {
  char16_t dst[2048];
  ASSERT_TRUE(SetCurrentDirectoryW(AsWide(Fixture(u"lang_folder").c_str())));
  for (const char16_t* folder : {u"", u".", u"..\\lang_folder"}) {
    SetLanguageFolder(folder);
    EXPECT_FALSE(RedirectToLanguageFolder(u"C:\\elsewhere\\launcher.lng", dst, 2048));
    EXPECT_EQ(std::u16string(dst), u"C:\\elsewhere\\launcher.lng");
  }
}

TEST_F(ResourceModuleTest, RedirectOfTheCatalogName) {
  char16_t dst[2048];
  RedirectToLanguageFolder(u"launcher.lng", dst, 2048);
  EXPECT_EQ(std::u16string(dst), u"launcher.lng");

  SetLanguageFolder(Fixture(u"lang_folder"));
  RedirectToLanguageFolder(u"launcher.lng", dst, 2048);
  EXPECT_EQ(std::u16string(dst), Fixture(u"lang_folder\\launcher.lng"));
  // Only the name part of the input is looked for in the folder.
  CopyBounded(dst, u"C:\\elsewhere\\launcher.lng", 2048);
  RedirectToLanguageFolder(dst, dst, 2048);
  EXPECT_EQ(std::u16string(dst), Fixture(u"lang_folder\\launcher.lng"));
  RedirectToLanguageFolder(u"absent.lng", dst, 2048);
  EXPECT_EQ(std::u16string(dst), u"absent.lng");
  RedirectToLanguageFolder(u"launcher.lng", dst, 8);
  EXPECT_EQ(std::u16string(dst), Fixture(u"lang_folder\\launcher.lng").substr(0, 7));
}

class FetchStringTest : public ResourceModuleTest {};

TEST_F(FetchStringTest, EntriesFallBackToTheProgramsOwn) {
  TheResourceModule.Load(Own(), nullptr);
  ASSERT_TRUE(TheResourceModule.loaded);
  EXPECT_EQ(std::u16string(FetchString(IDS_INSTALLER_NAME)), u"beside 5101");
  EXPECT_EQ(std::u16string(FetchString(IDS_FIRST_USE_URL)), u"own 5102");  // empty in the module
  EXPECT_EQ(std::u16string(FetchString(IDS_INFO_TEXT_FIRST)),
            u"own 5103");  // missing in the module
  EXPECT_EQ(std::u16string(FetchString(IDS_INFO_TEXT_3)), u"beside 5105");
  EXPECT_EQ(std::u16string(FetchString(IDS_INFO_TEXT_2)), u"");  // missing everywhere

  TheResourceModule.Load(Own(), Fixture(u"lang_none\\Launcher.exe").c_str());
  EXPECT_EQ(std::u16string(FetchString(IDS_INSTALLER_NAME)), u"own 5101");
  EXPECT_EQ(std::u16string(FetchString(IDS_INFO_TEXT_3)), u"");
}

TEST_F(FetchStringTest, WithACatalogOnlyTheOwnEntriesAreUsed) {
  TheResourceModule.Load(Own(), nullptr);
  ASSERT_TRUE(TheResourceModule.loaded);
  ASSERT_FALSE(TheCatalog.IsLoaded());
  // A catalog of the marker alone: loaded, yet translating nothing.
  const char markerOnly[] = "***messages***\r\n";
  ASSERT_TRUE(TheCatalog.LoadFromBytes(markerOnly, sizeof markerOnly - 1));
  ASSERT_TRUE(TheCatalog.IsLoaded());
  EXPECT_EQ(std::u16string(FetchString(IDS_INSTALLER_NAME)), u"own 5101");
  EXPECT_EQ(std::u16string(FetchString(IDS_INFO_TEXT_3)), u"");
  TheCatalog.Unload();
}

TEST_F(FetchStringTest, EightBuffersInTurn) {
  TheResourceModule.Load(Own(), Fixture(u"lang_none\\Launcher.exe").c_str());
  FetchRing.index = 0;  // as at start
  const char16_t* first = FetchString(IDS_INSTALLER_NAME);
  EXPECT_EQ(first, FetchRing.text[1]);
  const char16_t* seen[8] = {first};
  for (int i = 1; i < 8; ++i) {
    seen[i] = FetchString(IDS_FIRST_USE_URL);
    for (int j = 0; j < i; ++j) {
      EXPECT_NE(seen[i], seen[j]);
    }
  }
  EXPECT_EQ(seen[6], FetchRing.text[7]);
  EXPECT_EQ(seen[7], FetchRing.text[0]);
  EXPECT_EQ(std::u16string(first), u"own 5101") << "valid for eight further fetches";
  EXPECT_EQ(FetchString(IDS_INFO_TEXT_FIRST), first) << "the ninth fetch reuses the first buffer";
  EXPECT_EQ(std::u16string(first), u"own 5103");
  // A failed fetch empties its buffer.
  for (int i = 0; i < 8; ++i) {
    FetchString(IDS_INFO_TEXT_2);
  }
  EXPECT_EQ(std::u16string(first), u"");
}
}  // namespace
