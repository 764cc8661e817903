#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {
constexpr char16_t kMark = u'#';

// A buffer of `size` units prefilled with kMark, so that untouched units show.
std::u16string Marked(size_t size) { return std::u16string(size, kMark); }

TEST(BoundedText, LengthAndEquality) {
  EXPECT_EQ(TextLength(u""), 0u);
  EXPECT_EQ(TextLength(u"abc"), 3u);
  EXPECT_EQ(TextLength(nullptr), 0u);
  EXPECT_TRUE(TextEqual(u"abc", u"abc"));
  EXPECT_FALSE(TextEqual(u"abc", u"abcd"));
  EXPECT_FALSE(TextEqual(u"abcd", u"abc"));
  EXPECT_FALSE(TextEqual(u"abc", u"abC"));
  EXPECT_TRUE(TextEqual(u"", u""));
}

TEST(BoundedText, CopyWritesTheWholeCapacityAndNoMore) {
  std::u16string buffer = Marked(8);
  CopyBounded(&buffer[0], u"ab", 6);
  EXPECT_EQ(buffer, std::u16string(u"ab\0\0\0\0##", 8));

  buffer = Marked(8);
  CopyBounded(&buffer[0], u"abcdefgh", 6);
  EXPECT_EQ(buffer, std::u16string(u"abcde\0##", 8));

  buffer = Marked(4);
  CopyBounded(&buffer[0], u"abc", 1);
  EXPECT_EQ(buffer, std::u16string(u"\0###", 4));

  buffer = Marked(4);
  EXPECT_EQ(CopyBounded(&buffer[0], u"abc", 0), &buffer[0]);
  EXPECT_EQ(buffer, Marked(4));
}

TEST(BoundedText, AppendOnlyWhileThereIsRoom) {
  struct Case {
    const char16_t* start;
    const char16_t* tail;
    size_t cap;
    const char16_t* expected;
  } cases[] = {
      {u"ab", u"cd", 8, u"abcd"},
      {u"abcde", u"xyz", 8, u"abcdexy"},
      {u"abcdef", u"xyz", 8, u"abcdefx"},   // cap - 2 units: exactly one more
      {u"abcdefg", u"xyz", 8, u"abcdefg"},  // cap - 1 units: unchanged
      {u"", u"", 8, u""},
      {u"", u"xyz", 1, u""},
  };
  for (const Case& c : cases) {
    std::u16string buffer = Marked(10);
    CopyBounded(&buffer[0], c.start, 10);
    AppendBounded(&buffer[0], c.tail, c.cap);
    EXPECT_EQ(std::u16string(buffer.c_str()), c.expected) << "cap " << c.cap;
    EXPECT_EQ(buffer[9], 0);
  }
}

TEST(BoundedText, AppendToAnUnterminatedBufferLeavesItAlone) {
  char16_t buffer[4] = {u'a', u'b', u'c', u'd'};
  AppendBounded(buffer, u"x", 4);
  EXPECT_EQ(std::u16string(buffer, 4), u"abcd");
}

std::u16string Format(size_t cap, const char16_t* format, ...) {
  std::u16string buffer = Marked(cap + 2);
  va_list args;
  va_start(args, format);
  FormatBoundedV(&buffer[0], cap, format, args);
  va_end(args);
  EXPECT_EQ(buffer[cap], kMark) << "wrote past the capacity";
  return std::u16string(buffer.c_str());
}

TEST(BoundedText, FormatConversions) {
  EXPECT_EQ(Format(64, u"Software\\Zentak%s%s", u"\\", u"General"), u"Software\\Zentak\\General");
  EXPECT_EQ(Format(64, u"%08x", 0xABCDu), u"0000abcd");
  EXPECT_EQ(Format(64, u"%08X", 0xDEADBEEFu), u"DEADBEEF");
  EXPECT_EQ(Format(64, u"%x", 0u), u"0");
  EXPECT_EQ(Format(64, u"%u", 4294967295u), u"4294967295");
  EXPECT_EQ(Format(64, u"%d|%d", -42, 7), u"-42|7");
  EXPECT_EQ(Format(64, u"%05d", -42), u"-0042");
  EXPECT_EQ(Format(64, u"[%4u][%-4u]", 7u, 7u), u"[   7][7   ]");
  EXPECT_EQ(Format(64, u"[%5s]", u"ab"), u"[   ab]");
  EXPECT_EQ(Format(64, u"%c%c", u'x', 0x00E4), u"x\u00E4");
  EXPECT_EQ(Format(64, u"100%%"), u"100%");
  EXPECT_EQ(Format(64, u"%llu", 18446744073709551615ull), u"18446744073709551615");
  EXPECT_EQ(Format(64, u"%lld", static_cast<long long>(INT64_MIN)), u"-9223372036854775808");
  EXPECT_EQ(Format(64, u"%zu", static_cast<size_t>(12)), u"12");
  EXPECT_EQ(Format(64, u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
  // Unknown conversions are shown as written, a lone '%' at the end is dropped.
  EXPECT_EQ(Format(64, u"a%qb%"), u"a%qb");
}

TEST(BoundedText, FormatCutsAtCapacityMinusOne) {
  EXPECT_EQ(Format(6, u"%s-%u", u"abc", 12345u), u"abc-1");
  EXPECT_EQ(Format(4, u"%08x", 0x1234u), u"000");
  EXPECT_EQ(Format(1, u"%s", u"abc"), u"");
  EXPECT_EQ(Format(3, u"ab%%cd"), u"ab");
}

TEST(BoundedText, UpperCaseIsAsciiOnly) {
  const struct {
    char16_t in, out;
  } cases[] = {
      {u'a', u'A'},     {u'z', u'Z'}, {u'i', u'I'},  // never a dotted capital I
      {u'A', u'A'},     {u'`', u'`'}, {u'{', u'{'}, {u'5', u'5'}, {0x0131, 0x0131},  // dotless i
      {0x00E4, 0x00E4},  // a with diaeresis
      {0x00FF, 0x00FF}, {0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpperCaseChar(c.in), c.out) << int(c.in);
  }
}

TEST(BoundedText, ParseDecimalTakesLeadingDigitsOnly) {
  const struct {
    const char16_t* text;
    int64_t value;
  } cases[] = {
      {u"123abc", 123},
      {u"", 0},
      {u"-5", 0},
      {u" 5", 0},
      {u"007", 7},
      {u"9223372036854775807", INT64_MAX},
      {u"18446744073709551615", -1},  // wraps
      {u"18446744073709551616", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDecimal(c.text), c.value);
  }
}
}  // namespace
