// The native build's ANSI code page: Windows-1252 without best-fit mapping.
#include "base/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(CodePage1252, WideToAnsi) {
  const struct {
    const char16_t* wide;
    const char* ansi;
  } cases[] = {
      {u"plain", "plain"},
      {u"\u00E4\u00DF\u00FF\u00A0", "\xE4\xDF\xFF\xA0"},
      {u"\u20AC\u201C\u0178\u017E", "\x80\x93\x9F\x9E"},
      {u"\u0081\u008D", "\x81\x8D"},  // the bytes the code page leaves undefined
      {u"\u0100\u4E2D", "??"},        // no best fit: not 'A'
      {u"a\U0001F600b", "a?b"},       // one character, one byte
      {u"\xD800x\xDC00", "?x?"},      // lone surrogates
      {u"", ""},
  };
  for (const auto& c : cases) {
    char buffer[16];
    EXPECT_TRUE(WideToAnsi(c.wide, buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), c.ansi);
  }
}

TEST(CodePage1252, AnsiToWideRoundTripsEveryByte) {
  char all[256];
  for (int i = 1; i < 256; ++i) {
    all[i - 1] = static_cast<char>(i);
  }
  all[255] = 0;
  char16_t wide[256];
  ASSERT_TRUE(AnsiToWide(all, wide, 256));
  EXPECT_EQ(wide[0x80 - 1], 0x20AC);
  EXPECT_EQ(wide[0xE4 - 1], 0x00E4);
  char back[256];
  ASSERT_TRUE(WideToAnsi(wide, back, 256));
  EXPECT_EQ(std::string(back), std::string(all));
}

TEST(CodePage1252, ACutIsReportedAndStillTerminated) {
  char ansi[4] = {'#', '#', '#', '#'};
  EXPECT_FALSE(WideToAnsi(u"abcd", ansi, 4));
  EXPECT_EQ(std::string(ansi), "abc");
  EXPECT_TRUE(WideToAnsi(u"abc", ansi, 4));  // terminator included, exactly full
  EXPECT_EQ(std::string(ansi), "abc");

  char16_t wide[4];
  EXPECT_FALSE(AnsiToWide("abcd", wide, 4));
  EXPECT_EQ(std::u16string(wide), u"abc");
  EXPECT_TRUE(AnsiToWide("abc", wide, 4));
  EXPECT_FALSE(AnsiToWide("abc", wide, 1));
  EXPECT_EQ(wide[0], 0);
}

TEST(CodePage1252, SystemCodecIsTheSameConversion) {
  EXPECT_EQ(SystemAnsi.wideToAnsi, &WideToAnsi);
  EXPECT_EQ(SystemAnsi.ansiToWide, &AnsiToWide);
}

TEST(CodePage1252, CompareNoCase) {
  const struct {
    const char16_t *a, *b;
    int result;
  } cases[] = {
      {u"Button", u"BUTTON", 0}, {u"abc", u"abd", -1},        {u"abd", u"ABC", 1},
      {u"ab", u"abc", -1},       {u"\u00C4x", u"\u00E4X", 0}, {u"", u"", 0},
      {u"\u00FF", u"\u0178", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareNoCase(c.a, c.b), c.result);
  }
  EXPECT_EQ(CompareNoCase(nullptr, u"x"), -2);
}
}  // namespace
