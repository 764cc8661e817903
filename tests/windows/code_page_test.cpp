// The system code page and collation through the real calls.
#include "base/code_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/wide_bridge.h"
#include "tests/host/compare_no_case_cases.h"

namespace {
TEST(SystemCodePage, ConvertsLikeThePlatform) {
  const char16_t* texts[] = {u"plain text", u"caf\u00E9 \u20AC", u"\u4E2D\u6587", u""};
  for (const char16_t* text : texts) {
    char expected[64];
    ASSERT_NE(WideCharToMultiByte(CP_ACP, 0, AsWide(text), -1, expected, 64, nullptr, nullptr), 0);
    char ansi[64];
    EXPECT_TRUE(WideToAnsi(text, ansi, sizeof ansi));
    EXPECT_EQ(std::string(ansi), expected);
    char16_t back[64];
    EXPECT_TRUE(AnsiToWide(ansi, back, 64));
    wchar_t platform[64];
    ASSERT_NE(MultiByteToWideChar(CP_ACP, 0, ansi, -1, platform, 64), 0);
    EXPECT_EQ(std::u16string(back), AsUtf16(platform));
  }
  EXPECT_EQ(SystemAnsi.wideToAnsi, &WideToAnsi);
  EXPECT_EQ(SystemAnsi.ansiToWide, &AnsiToWide);
}

TEST(SystemCodePage, ACutIsReportedAndTerminated) {
  char ansi[4] = {'#', '#', '#', '#'};
  EXPECT_FALSE(WideToAnsi(u"abcdef", ansi, 4));
  EXPECT_EQ(ansi[3], 0);
  EXPECT_TRUE(WideToAnsi(u"abc", ansi, 4));
  EXPECT_EQ(std::string(ansi), "abc");

  char16_t wide[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_FALSE(AnsiToWide("abcdef", wide, 4));
  EXPECT_EQ(wide[3], 0);
  EXPECT_TRUE(AnsiToWide("abc", wide, 4));
  EXPECT_EQ(std::u16string(wide), u"abc");
}

TEST(SystemCodePage, CompareNoCase) {
  for (const CompareNoCaseCase& c : kCompareNoCaseCases) {
    EXPECT_EQ(CompareNoCase(c.a, c.b), c.result) << static_cast<int>(c.a[0]);
  }
  EXPECT_EQ(CompareNoCase(nullptr, u"x"), -2) << "a failed comparison";
}
}  // namespace
