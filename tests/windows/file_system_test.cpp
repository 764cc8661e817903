// The file-system helpers against real files under Wine.
#include "base/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/wide_bridge.h"

namespace {
std::u16string LongForm(const std::u16string& path) { return u"\\\\?\\" + path; }

bool CreateEmptyFile(const std::u16string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  const HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  CloseHandle(file);
  return true;
}

// A fresh folder under the temporary directory, removed with what it holds.
class FileSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    root_ = AsUtf16(temp) + std::u16string(u"ztk_fs_");
    for (char c : std::to_string(GetCurrentProcessId())) {
      root_ += static_cast<char16_t>(c);
    }
    ASSERT_TRUE(CreateDirectoryW(AsWide(root_.c_str()), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override { RemoveTree(LongForm(root_)); }

  static void RemoveTree(const std::u16string& dir) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(AsWide((dir + u"\\*").c_str()), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::u16string name = AsUtf16(found.cFileName);
        if (name == u"." || name == u"..") {
          continue;
        }
        const std::u16string path = dir + u"\\" + name;
        SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_NORMAL);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          RemoveTree(path);
        } else {
          DeleteFileW(AsWide(path.c_str()));
        }
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    RemoveDirectoryW(AsWide(dir.c_str()));
  }

  std::u16string root_;
};

TEST_F(FileSystemTest, AFileOnlyTheLongFormReaches) {
  // Deeper than MAX_PATH, and named with a trailing period, which the plain
  // form strips: only the long form names this file (also under Wine, which
  // does not enforce MAX_PATH).
  std::u16string dir = root_;
  while (dir.size() < 300) {
    dir += u"\\abcdefghijklmnopqrstuvwxyz0123456789";
    ASSERT_TRUE(CreateDirectoryW(AsWide(LongForm(dir).c_str()), nullptr));
  }
  const std::u16string file = dir + u"\\file.";
  ASSERT_TRUE(CreateEmptyFile(LongForm(file)));
  ASSERT_EQ(GetFileAttributesW(AsWide(file.c_str())), INVALID_FILE_ATTRIBUTES);

  EXPECT_NE(QueryFileAttributes(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(PathExists(file.c_str()));
  EXPECT_TRUE(RemoveFile(file.c_str()));
  EXPECT_EQ(GetFileAttributesW(AsWide(LongForm(file).c_str())), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(PathExists(file.c_str()));
}

TEST_F(FileSystemTest, ARelativePathTakesTheCurrentDirectory) {
  ASSERT_TRUE(CreateEmptyFile(LongForm(root_ + u"\\rel.")));
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(AsWide(root_.c_str())));
  EXPECT_TRUE(PathExists(u"rel."));
  EXPECT_TRUE(PathExists(u".\\rel."));
  EXPECT_TRUE(RemoveFile(u"rel."));
  EXPECT_FALSE(PathExists(u"rel."));
  SetCurrentDirectoryW(saved);
}

TEST_F(FileSystemTest, ADirectoryExistsButIsNoFileToRemove) {
  const std::u16string dir = root_ + u"\\sub";
  ASSERT_TRUE(CreateDirectoryW(AsWide(dir.c_str()), nullptr));
  EXPECT_TRUE(PathExists(dir.c_str()));
  EXPECT_TRUE(PathExists((dir + u"\\").c_str()));
  EXPECT_NE(QueryFileAttributes(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_FALSE(RemoveFile(dir.c_str()));
  EXPECT_TRUE(PathExists(dir.c_str()));
}

TEST_F(FileSystemTest, ReadOnlyAndAbsentFilesAreNotRemoved) {
  const std::u16string kept = root_ + u"\\kept.txt";
  ASSERT_TRUE(CreateEmptyFile(kept, FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(RemoveFile(kept.c_str())) << "attributes are never changed to delete";
  EXPECT_TRUE(PathExists(kept.c_str()));
  EXPECT_NE(QueryFileAttributes(kept.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

  const std::u16string absent = root_ + u"\\absent.txt";
  EXPECT_FALSE(RemoveFile(absent.c_str()));
  EXPECT_FALSE(PathExists(absent.c_str()));
  EXPECT_EQ(QueryFileAttributes(absent.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(PathExists(u""));
}

TEST_F(FileSystemTest, MakeLongPathUsesTheRealCurrentDirectory) {
  wchar_t directory[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
  ASSERT_GT(length, 2u);
  char16_t dst[2048];
  ASSERT_TRUE(MakeLongPath(u"name", dst, 2048));
  std::u16string expected = LongForm(AsUtf16(directory));
  if (expected.back() != u'\\') {
    expected += u'\\';
  }
  EXPECT_EQ(std::u16string(dst), expected + u"name");
  ASSERT_TRUE(MakeLongPath(u"\\name", dst, 2048));
  EXPECT_EQ(std::u16string(dst), LongForm(std::u16string(AsUtf16(directory), 2)) + u"\\name");
}
}  // namespace
