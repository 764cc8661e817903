// The file-system helpers against a scripted Sys table: which calls are made,
// on which text, and in what order.
#include "base/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/system_calls.h"
#include "tests/host/fake_system_calls.h"

namespace {
class FileSystemTest : public FakeSystemTest {
 protected:
  static std::vector<std::u16string>& Calls() { return script.calls; }
};

using CallList = std::vector<std::u16string>;

TEST_F(FileSystemTest, MakeLongPathOffers2047UnitsOfCurrentDirectory) {
  char16_t dst[kPathCapacity] = u"untouched";
  EXPECT_TRUE(MakeLongPath(u"sub\\file", dst, kPathCapacity));
  EXPECT_EQ(std::u16string(dst), u"\\\\?\\D:\\work\\sub\\file");
  EXPECT_EQ(Calls(), CallList{u"cwd:2047"});  // 2047 offered

  Calls().clear();
  EXPECT_TRUE(MakeLongPath(u"C:\\file", dst, kPathCapacity));
  EXPECT_TRUE(Calls().empty()) << "an absolute path needs no current directory";
  EXPECT_FALSE(MakeLongPath(u"", dst, kPathCapacity));
  EXPECT_TRUE(Calls().empty());
}

TEST_F(FileSystemTest, MakeLongPathFailsWhenTheCurrentDirectoryIsUnusable) {
  for (uint32_t result : {0u, 2048u, 5000u}) {
    script.directoryResult = result;
    script.directory = result == 0 ? u"" : u"D:\\work";
    char16_t dst[kPathCapacity] = u"untouched";
    EXPECT_FALSE(MakeLongPath(u"file", dst, kPathCapacity)) << result;
    EXPECT_FALSE(MakeLongPath(u"\\file", dst, kPathCapacity)) << result;
    EXPECT_EQ(std::u16string(dst), u"untouched");
  }
  // "\\?\", the directory, its separator and the name must fit with a terminator.
  script.directoryResult = 0;
  script.directory = std::u16string(u"D:\\") + std::u16string(2039, u'd');
  char16_t dst[kPathCapacity];
  EXPECT_FALSE(MakeLongPath(u"f", dst, kPathCapacity));
  script.directory.pop_back();
  EXPECT_TRUE(MakeLongPath(u"f", dst, kPathCapacity));
  EXPECT_EQ(TextLength(dst), kPathCapacity - 1);
}

TEST_F(FileSystemTest, AttributesTryTheLongFormOnlyAfterThePlainPathFailed) {
  script.files = {u"C:\\plain"};
  EXPECT_EQ(QueryFileAttributes(u"C:\\plain"), 0x20u);
  EXPECT_EQ(Calls(), CallList{u"attr:C:\\plain"});

  Calls().clear();
  script.files = {u"\\\\?\\D:\\work\\long"};
  EXPECT_EQ(QueryFileAttributes(u"long"), 0x20u);
  EXPECT_EQ(Calls(), (CallList{u"attr:long", u"cwd:2047", u"attr:\\\\?\\D:\\work\\long"}));
  EXPECT_TRUE(PathExists(u"long"));

  Calls().clear();
  EXPECT_EQ(QueryFileAttributes(u"C:\\absent"), fileapi::kInvalidAttributes);
  EXPECT_EQ(Calls(), (CallList{u"attr:C:\\absent", u"attr:\\\\?\\C:\\absent"}));
  EXPECT_FALSE(PathExists(u"C:\\absent"));

  Calls().clear();
  script.directoryResult = 3000;
  EXPECT_EQ(QueryFileAttributes(u"rel"), fileapi::kInvalidAttributes);
  EXPECT_EQ(Calls(), (CallList{u"attr:rel", u"cwd:2047"})) << "no long form, no second call";
}

TEST_F(FileSystemTest, RemoveFileRetriesOnceThroughTheLongForm) {
  script.deletable = u"C:\\f";
  EXPECT_TRUE(RemoveFile(u"C:\\f"));
  EXPECT_EQ(Calls(), CallList{u"del:C:\\f"});

  Calls().clear();
  script.deletable = u"\\\\?\\UNC\\srv\\f";
  EXPECT_TRUE(RemoveFile(u"\\\\srv\\f"));
  EXPECT_EQ(Calls(), (CallList{u"del:\\\\srv\\f", u"del:\\\\?\\UNC\\srv\\f"}));

  Calls().clear();
  EXPECT_FALSE(RemoveFile(u"C:\\kept"));
  EXPECT_EQ(Calls(), (CallList{u"del:C:\\kept", u"del:\\\\?\\C:\\kept"}));

  Calls().clear();
  EXPECT_FALSE(RemoveFile(u""));
  EXPECT_EQ(Calls(), CallList{u"del:"});
}

// The native stand-ins behind the same helpers, on real files.
TEST(FileSystemNative, RealFilesAndDirectories) {
  char pattern[] = "/tmp/ztk_fs_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::u16string dir;
  for (const char* p = pattern; *p != 0; ++p) {
    dir += static_cast<char16_t>(*p);
  }
  const std::u16string file = dir + u"/file.txt";
  std::FILE* f = std::fopen((std::string(pattern) + "/file.txt").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);

  EXPECT_TRUE(PathExists(dir.c_str()));
  EXPECT_NE(QueryFileAttributes(dir.c_str()) & fileapi::kAttributeDirectory, 0u);
  EXPECT_TRUE(PathExists(file.c_str()));
  EXPECT_TRUE(IsFolder(dir.c_str()));
  EXPECT_FALSE(IsFolder(file.c_str())) << "a file is not a folder";
  EXPECT_TRUE(RemoveFile(file.c_str()));
  EXPECT_FALSE(IsFolder(file.c_str()));
  EXPECT_FALSE(PathExists(file.c_str()));
  EXPECT_FALSE(RemoveFile(file.c_str()));
  EXPECT_FALSE(RemoveFile(dir.c_str())) << "a directory is not a file";
  rmdir(pattern);
}
}  // namespace
