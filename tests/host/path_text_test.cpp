#include "base/path_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"

namespace {
std::u16string Text(const char16_t* text) { return std::u16string(text); }

TEST(PathText, AppendBackslash) {
  const struct {
    const char16_t* path;
    size_t cap;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\dir", 16, u"C:\\dir\\"}, {u"C:\\dir\\", 16, u"C:\\dir\\"},
      {u"C:/dir/", 16, u"C:/dir/\\"}, {u"", 16, u""},
      {u"abcdefg", 8, u"abcdefg"},  // cap - 1 units already
      {u"abcdef", 8, u"abcdef\\"},
  };
  for (const auto& c : cases) {
    char16_t buffer[16];
    CopyBounded(buffer, c.path, 16);
    AppendBackslash(buffer, c.cap);
    EXPECT_EQ(Text(buffer), c.expected);
  }
}

TEST(PathText, DriveLetterAndAbsolutePaths) {
  const struct {
    const char16_t* path;
    bool drive, absolute;
  } cases[] = {
      {u"C:\\x", true, true},
      {u"c:/x", true, true},
      {u"C:x", true, false},
      {u"C:", true, false},
      {u"\\\\srv\\share", false, true},
      {u"\\x", false, false},
      {u"//srv/share", false, false},
      {u"1:\\x", false, false},
      {u"", false, false},
      {u"\\\\?\\C:\\x", false, true},
      {u"\u00C4:\\x", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasDriveLetter(c.path), c.drive) << testing::PrintToString(Text(c.path));
    EXPECT_EQ(IsAbsolutePath(c.path), c.absolute) << testing::PrintToString(Text(c.path));
  }
}

TEST(PathText, FindNamePart) {
  const struct {
    const char16_t* path;
    const char16_t* name;
  } cases[] = {
      {u"C:\\dir\\file.txt", u"file.txt"},
      {u"dir/file", u"file"},
      {u"C:file", u"file"},
      {u"1:file", u"file"},
      {u"file", u"file"},
      {u"C:\\dir\\", u""},
      {u"a/b\\c", u"c"},
      {u"", u""},
      {u"C", u"C"},
  };
  for (const auto& c : cases) {
    const char16_t* part = FindNamePart(c.path);
    EXPECT_EQ(Text(part), c.name);
    EXPECT_EQ(part + TextLength(part), c.path + TextLength(c.path)) << "not within the path";
  }
}

TEST(PathText, ReplaceNamePartCutsAtTheBuffersEnd) {
  char16_t path[16];
  CopyBounded(path, u"C:\\dir\\old.exe", 16);
  char16_t* part = ReplaceNamePart(path, u"new.dll", 16);
  EXPECT_EQ(part, path + 7);
  EXPECT_EQ(Text(path), u"C:\\dir\\new.dll");

  ReplaceNamePart(path, u"a-much-longer-name", 16);
  EXPECT_EQ(Text(path), u"C:\\dir\\a-much-l");  // 15 units and the terminator

  CopyBounded(path, u"C:old", 16);
  ReplaceNamePart(path, u"new", 16);
  EXPECT_EQ(Text(path), u"C:new");
}

struct LongCase {
  const char16_t* source;
  const char16_t* expected;  // null: fails
};

TEST(PathText, LongFormWithCurrentDirectory) {
  const LongCase cases[] = {
      {u"C:\\dir\\file", u"\\\\?\\C:\\dir\\file"},
      {u"C:/dir/file", u"\\\\?\\C:/dir/file"},
      {u"\\\\srv\\share\\file", u"\\\\?\\UNC\\srv\\share\\file"},
      {u"\\temp\\file", u"\\\\?\\D:\\temp\\file"},
      {u".\\sub\\file", u"\\\\?\\D:\\work\\sub\\file"},
      {u"./sub", u"\\\\?\\D:\\work\\sub"},
      {u"sub/file", u"\\\\?\\D:\\work\\sub/file"},
      {u"..\\file", u"\\\\?\\D:\\work\\..\\file"},
      {u"E:file", u"\\\\?\\D:\\work\\E:file"},
      {u"//srv/share/file", u"\\\\?\\D://srv/share/file"},
      // Already long: read as a network path.
      {u"\\\\?\\C:\\x", u"\\\\?\\UNC\\?\\C:\\x"},
      {u"", nullptr},
  };
  for (const LongCase& c : cases) {
    char16_t dst[64] = u"untouched";
    const bool ok = MakeLongPathText(c.source, u"D:\\work", dst, 64);
    EXPECT_EQ(ok, c.expected != nullptr) << testing::PrintToString(Text(c.source));
    EXPECT_EQ(Text(dst), c.expected != nullptr ? c.expected : u"untouched");
  }
}

TEST(PathText, LongFormOfARelativePathNeedsTheCurrentDirectory) {
  char16_t dst[64] = u"untouched";
  EXPECT_FALSE(MakeLongPathText(u"file", nullptr, dst, 64));
  EXPECT_FALSE(MakeLongPathText(u"\\file", nullptr, dst, 64));
  EXPECT_EQ(Text(dst), u"untouched");
  EXPECT_TRUE(MakeLongPathText(u"C:\\file", nullptr, dst, 64));
  // A directory that ends in a separator gets no second one.
  EXPECT_TRUE(MakeLongPathText(u"file", u"D:\\", dst, 64));
  EXPECT_EQ(Text(dst), u"\\\\?\\D:\\file");
}

// A path of `length` units: prefix, then 'a' up to the length.
std::u16string PathOfLength(const char16_t* prefix, size_t length) {
  std::u16string path(prefix);
  path.resize(length, u'a');
  return path;
}

TEST(PathText, LongFormLengthLimits) {
  const struct {
    const char16_t* prefix;
    size_t fits;  // the longest source that converts at capacity 2048
  } cases[] = {
      {u"C:\\", 2043},
      {u"\\\\srv\\", 2041},
      {u"\\root\\", 2041},
      {u"sub\\", 2048 - 4 - 8 - 1},  // after "D:\work\"
  };
  for (const auto& c : cases) {
    for (size_t length : {c.fits, c.fits + 1}) {
      const std::u16string source = PathOfLength(c.prefix, length);
      std::u16string dst(kPathCapacity + 1, u'#');
      dst[0] = 0;
      const bool ok = MakeLongPathText(source.c_str(), u"D:\\work", &dst[0], kPathCapacity);
      EXPECT_EQ(ok, length == c.fits) << testing::PrintToString(Text(c.prefix)) << length;
      EXPECT_EQ(dst[kPathCapacity], u'#');
      if (ok) {
        EXPECT_EQ(TextLength(dst.c_str()), kPathCapacity - 1);
      } else {
        EXPECT_EQ(dst[0], 0) << "written on failure";
      }
    }
  }
}
}  // namespace

namespace {
// Each refused name would let a catalog point the elevated launcher outside
// its folder, at a device, or at a name Windows silently changes.
TEST(PlainFileName, OnlyNamesThatStayInTheirFolder) {
  for (const char16_t* name :
       {u"BavPro_Setup_Mini_240.exe", u"Setup.exe", u"a", u"..a", u"CONSOLE.exe", u"COM10.exe",
        u"LPT0", u"nul_driver.exe", u"\u05D4\u05EA\u05E7\u05E0\u05D4.exe"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << std::string(name, name + TextLength(name));
  }
  for (const char16_t* name : {u"",
                               u".",
                               u"..",
                               u"..\\evil.exe",
                               u"../evil.exe",
                               u"sub\\x.exe",
                               u"C:x.exe",
                               u"C:\\x.exe",
                               u"\\\\srv\\s\\x.exe",
                               u"x.exe:stream",
                               u"x.exe.",
                               u"x.exe ",
                               u"x\tx.exe",
                               u"x\x7Fx.exe",
                               u"x*.exe",
                               u"x?.exe",
                               u"\"x\".exe",
                               u"x<y",
                               u"x|y",
                               u"CON",
                               u"con.txt",
                               u"Nul",
                               u"AUX.exe",
                               u"prn .txt",
                               u"COM1",
                               u"lpt9.exe",
                               u"COM\u00B9",
                               u"CONIN$"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << std::string(name, name + TextLength(name));
  }
}
}  // namespace
