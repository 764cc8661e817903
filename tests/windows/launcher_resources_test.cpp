// The resources Launcher.exe carries, read from the built program as a data
// file, the way a language module's are: texts, icon images and logos.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource_ids.h"

namespace {

// ZTK_FIXTURES is <build>\tests\fixtures; the program lies at <build>.
std::wstring LauncherPath() {
  wchar_t fixtures[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"ZTK_FIXTURES", fixtures, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    return {};
  }
  std::wstring path(fixtures);
  for (int up = 0; up < 2; ++up) {
    path.erase(path.find_last_of(L"\\/"));
  }
  return path + L"\\Launcher.exe";
}

class LauncherResources : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = LauncherPath();
    module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module_ == nullptr) {
      GTEST_SKIP() << "Launcher.exe not built";
    }
  }
  void TearDown() override {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  HMODULE module_ = nullptr;
};

TEST_F(LauncherResources, StringTable) {
  struct Entry {
    UINT id;
    const wchar_t* text;
  } entries[] = {
      {IDS_INSTALLER_NAME, L"BavPro_Setup_Mini_240.exe"},
      {IDS_FIRST_USE_URL, L"First use info URL"},
      {IDS_INFO_TEXT_FIRST,
       L"It may take a few minutes to finish the installation of Baidu Antivirus."},
      {IDS_INFO_TEXT_2,
       L"You will see the Baidu Antivirus icon on your desktop and in the system tray when done."},
      {IDS_INFO_TEXT_3,
       L"Baidu Antivirus will protect your system when you surf the Internet and download files."},
      {IDS_INFO_TEXT_LAST, L"\r\n\r\nYou can close this window now."},
  };
  for (const Entry& e : entries) {
    wchar_t text[512] = {};
    EXPECT_GT(LoadStringW(module_, e.id, text, 512), 0) << e.id;
    EXPECT_STREQ(text, e.text) << e.id;
  }
  wchar_t none[16] = {};
  EXPECT_EQ(LoadStringW(module_, 5107, none, 16), 0);
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct IconGroup {
  WORD reserved, type, count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST_F(LauncherResources, IconGroupHoldsAnImageForEverySize) {
  HRSRC found = FindResourceW(module_, L"ZTKICON", RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  constexpr int kImages = 10;
  ASSERT_EQ(SizeofResource(module_, found), 6u + kImages * sizeof(IconGroupEntry));
  const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(module_, found)));
  ASSERT_EQ(group->count, kImages);
  // The four classic images first, then 32 bits with alpha (0 stands for 256).
  const struct {
    BYTE size;
    WORD bits;
  } expected[] = {{32, 8},  {16, 8},  {32, 4},  {16, 4},  {20, 32},
                  {24, 32}, {40, 32}, {48, 32}, {64, 32}, {0, 32}};
  for (int i = 0; i < kImages; ++i) {
    const IconGroupEntry& e = group->entries[i];
    EXPECT_EQ(e.width, expected[i].size) << i;
    EXPECT_EQ(e.height, expected[i].size) << i;
    EXPECT_EQ(e.bitCount, expected[i].bits) << i;
    EXPECT_EQ(e.colours, expected[i].bits == 4 ? 16 : 0) << i;
  }
  for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
    HICON icon = static_cast<HICON>(LoadImageW(module_, L"ZTKICON", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

// The two logos at their own size.
const struct {
  const wchar_t* name;
  LONG width, height;
} kLogos[] = {{L"LOGO", 294, 47}, {L"LOGOSMALL", 64, 64}};

// Beside each logo its drawings at the larger display scales, in 256 colours
// and run-length encoded, at the logo's size times the scale.
TEST_F(LauncherResources, LogosAreDrawnForEveryScale) {
  for (const auto& logo : kLogos) {
    for (int percent : {125, 150, 175, 200, 250, 300}) {
      const std::wstring name = std::wstring(logo.name) + L"_" + std::to_wstring(percent);
      HRSRC found = FindResourceW(module_, name.c_str(), RT_BITMAP);
      ASSERT_NE(found, nullptr) << percent;
      const auto* info =
          static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, found)));
      EXPECT_EQ(info->biWidth, (logo.width * percent + 50) / 100) << percent;
      EXPECT_EQ(info->biHeight, (logo.height * percent + 50) / 100) << percent;
      EXPECT_EQ(info->biBitCount, 8) << percent;
      EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RLE8)) << percent;
    }
  }
}

TEST_F(LauncherResources, LogosAreUncompressedTrueColour) {
  for (const auto& logo : kLogos) {
    HRSRC found = FindResourceW(module_, logo.name, RT_BITMAP);
    ASSERT_NE(found, nullptr) << logo.name;
    const auto* info =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, found)));
    EXPECT_EQ(info->biWidth, logo.width);
    EXPECT_EQ(info->biHeight, logo.height);
    EXPECT_EQ(info->biBitCount, 24);
    EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));
    const DWORD stride = (static_cast<DWORD>(logo.width) * 3 + 3) & ~3u;
    EXPECT_GE(SizeofResource(module_, found),
              info->biSize + stride * static_cast<DWORD>(logo.height));
  }
}

}  // namespace
