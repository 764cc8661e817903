// The native build's ANSI code page: Windows-1252 without best-fit mapping,
// judged against the C library's own Windows-1252 converter.
#include "base/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "tests/host/compare_no_case_cases.h"

namespace {
// The byte as the C library reads Windows-1252, or 0 where it defines none.
char16_t LibraryReading(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-16LE", "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[4] = {};
  char* from = in;
  char* to = reinterpret_cast<char*>(out);
  size_t inLeft = 1;
  size_t outLeft = sizeof out;
  const size_t done = iconv(cd, &from, &inLeft, &to, &outLeft);
  iconv_close(cd);
  return done == static_cast<size_t>(-1) ? 0 : static_cast<char16_t>(out[0] | (out[1] << 8));
}

TEST(CodePage1252, EveryByteReadsAsTheLibraryReadsIt) {
  for (int byte = 1; byte < 256; ++byte) {
    const char ansi[2] = {static_cast<char>(byte), 0};
    char16_t wide[2] = {};
    ASSERT_TRUE(AnsiToWide(ansi, wide, 2));
    const char16_t expected = LibraryReading(static_cast<unsigned char>(byte));
    // A byte the code page leaves undefined is the control character of its
    // value, as on Windows.
    EXPECT_EQ(wide[0], expected != 0 ? expected : static_cast<char16_t>(byte)) << byte;
  }
}

TEST(CodePage1252, WhatTheCodePageLacksBecomesAQuestionMark) {
  const struct {
    const char16_t* wide;
    const char* ansi;
  } cases[] = {
      {u"\u0100\u4E2D", "??"},    // no best fit: not 'A'
      {u"a\U0001F600b", "a?b"},   // one character, one byte
      {u"\xD800x\xDC00", "?x?"},  // lone surrogates
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
  for (const CompareNoCaseCase& c : kCompareNoCaseCases) {
    EXPECT_EQ(CompareNoCase(c.a, c.b), c.result);
  }
  EXPECT_EQ(CompareNoCase(nullptr, u"x"), -2);
}
}  // namespace
