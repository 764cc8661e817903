// Keys, Translate's value extraction, scale factors and text direction.
#include <gtest/gtest.h>

#include <string>

#include "localization/catalog_text.h"
#include "localization/message_catalog.h"
#include "tests/host/catalog_test_support.h"

namespace {
std::u16string Key(int kind, const char16_t* context, const char16_t* source) {
  char16_t key[kKeyCapacity];
  FormCatalogKey(SystemAnsi, kind, context, source, key);
  return key;
}

TEST(CatalogKey, WorkedKeys) {
  EXPECT_EQ(Key(kDialogText, u"LTR", u"LTR"), u"50a17ae8");
  EXPECT_EQ(Key(kDialogText, u"LAUNCHDLG", u""), u"be06f7dd");
  EXPECT_EQ(Key(kDialogText, u"INFODLG", u""), u"2bfcfcd7");
  EXPECT_EQ(Key(kDialogText, u"INFODLG", u"OK"), u"ad441f3e");
  EXPECT_EQ(Key(kStringText, nullptr,
                u"It may take a few minutes to finish the installation of Baidu Antivirus."),
            u"d82d648f");
}

TEST(CatalogKey, KindAndContextSeparateTheSameText) {
  EXPECT_EQ(Key(kDialogText, u"AB", u"C"), Key(kDialogText, u"A", u"BC"));
  EXPECT_EQ(Key(kStringText, nullptr, u"OK"), Key(kStringText, u"", u"OK"));
  EXPECT_NE(Key(kStringText, nullptr, u"OK"), Key(kDialogText, nullptr, u"OK"));
  EXPECT_NE(Key(kDialogText, u"INFODLG", u"OK"), Key(kDialogText, u"LAUNCHDLG", u"OK"));
  EXPECT_NE(Key(kMenuText, nullptr, u"OK"), Key(7, nullptr, u"OK"));
  // Only 4095 ANSI bytes of a text take part.
  const std::u16string longer(5000, u'x');
  const std::u16string cut(4095, u'x');
  EXPECT_EQ(Key(kStringText, nullptr, longer.c_str()), Key(kStringText, nullptr, cut.c_str()));
  EXPECT_NE(Key(kStringText, nullptr, cut.c_str()), Key(kStringText, nullptr, cut.c_str() + 1));
}

TEST(CatalogLookup, NoCatalogHandsBackTheSource) {
  const MessageCatalog empty;
  EXPECT_EQ(Translated(empty, u"OK", kDialogText, u"INFODLG"), u"OK");
  char16_t inPlace[8] = u"Install";
  empty.Translate(inPlace, inPlace, 8, kStringText, nullptr);
  EXPECT_EQ(std::u16string(inPlace), u"Install");
}

// The entry for "OK" in INFODLG (ad441f3e) holds each value below.
TEST(CatalogLookup, ValueExtraction) {
  const struct {
    const char* line;
    size_t capacity;
    const char16_t* expected;
  } cases[] = {
      {"ad441f3e=\"Gut\"", 1024, u"Gut"},
      {"ad441f3e=\"Gut\" trailing words", 1024, u"Gut"},
      {"ad441f3e=\"Gut", 1024, u"Gut"},
      {"ad441f3e=\"\"", 1024, u""},
      {"ad441f3e=\"Gut\"", 1, u""},
      {"ad441f3e=\"say \\\"hi\\\" now\"", 1024, u"say \"hi\" now"},
      {"ad441f3e=\"a\\\"bcdef\"", 5, u"a"},                 // cut to 4, then at the quote
      {"ad441f3e=\"line\\nbreak\"", 1024, u"line\nbreak"},  // escaped LF stays in the value
      {"ad441f3eXYvalue", 1024, u"value"},                  // the value begins at 11 regardless
      {"AD441F3E=\"Gut\"", 1024, u"OK"},                    // upper-case keys never match
  };
  for (const auto& c : cases) {
    const std::string file = MarkerFile(std::string(c.line) + "\r\nnext line\r\n");
    MessageCatalog catalog;
    ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
    EXPECT_EQ(Translated(catalog, u"OK", kDialogText, u"INFODLG", c.capacity), c.expected)
        << c.line;
  }
}

TEST(CatalogLookup, LastLineTakesAtMost255Units) {
  const std::string value(300, 'v');
  const std::string quoted = value.substr(0, 100) + "\"" + value.substr(100);
  for (const auto& [body, units] :
       {std::pair{value, size_t{255}}, std::pair{quoted, size_t{100}}}) {
    MessageCatalog catalog;
    const std::string file = MarkerFile("ad441f3e=\"" + body);
    ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
    EXPECT_EQ(Translated(catalog, u"OK", kDialogText, u"INFODLG"), std::u16string(units, u'v'));
  }
}

// Two escapes shrink the text by two, so the old last unit still sits past
// the new terminator; a 9-unit last line must not reach it.
TEST(CatalogLookup, NineUnitLastLineGivesAnEmptyValue) {
  const std::string file = MarkerFile("\\\"\\\"\rbe06f7dd=");
  MessageCatalog catalog;
  ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
  ASSERT_EQ(catalog.FindKeySorted(u"be06f7dd"), static_cast<int64_t>(catalog.Length()) - 9);
  EXPECT_EQ(Translated(catalog, u"", kDialogText, u"LAUNCHDLG"), u"");
  EXPECT_EQ(catalog.FindKeyLinear(u"be06f7dd"), -1);  // no '=' and '"' follow
}

TEST(CatalogLookup, SearchesAgreeAndLinearWantsEqualsAndQuote) {
  const std::string file = MarkerFile(
      "2bfcfcd7 first\r\nzzzzzzzz=\"z\"\r\n2bfcfcd7=\"second\"\r\n00000000=\"0\"\r\n"
      "2bfcfcd7=\"third\"\r\n");
  MessageCatalog catalog;
  ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
  const int64_t linear = catalog.FindKeyLinear(u"2bfcfcd7");
  ASSERT_GT(linear, 0);
  EXPECT_EQ(std::u16string(catalog.Text() + linear, 17), u"2bfcfcd7=\"second\"");
  EXPECT_EQ(std::u16string(catalog.Text() + catalog.FindKeySorted(u"00000000"), 8), u"00000000");
  EXPECT_EQ(std::u16string(catalog.Text() + catalog.FindKeySorted(u"zzzzzzzz"), 8), u"zzzzzzzz");
  EXPECT_EQ(catalog.FindKeySorted(u"12345678"), -1);
  EXPECT_EQ(catalog.FindKeyLinear(u"12345678"), -1);
}

TEST(CatalogLookup, DialogScale) {
  const struct {
    const char* value;
    int32_t x, y;
    bool scaled;
  } cases[] = {
      {"120*110", 120, 110, true}, {"100*100", 100, 100, false}, {"120", 100, 100, false},
      {"*", 0, 0, true},           {"abc*5", 0, 5, true},        {"4294967396*7", 100, 7, true},
      {"-5*+7", 0, 0, true},
  };
  for (const auto& c : cases) {
    const std::string file = MarkerFile("be06f7dd=\"" + std::string(c.value) + "\"\r\n");
    MessageCatalog catalog;
    ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
    int32_t x = -1, y = -1;
    EXPECT_EQ(catalog.GetDialogScale(u"LAUNCHDLG", &x, &y), c.scaled) << c.value;
    EXPECT_EQ(x, c.x) << c.value;
    EXPECT_EQ(y, c.y) << c.value;
    EXPECT_FALSE(catalog.GetDialogScale(u"INFODLG", &x, &y));
    EXPECT_EQ(x, 100);
  }
}

TEST(CatalogLookup, TextDirection) {
  const struct {
    const char* body;
    bool rightToLeft;
  } cases[] = {
      {"50a17ae8=\"RTL\"\r\n", true},   {"50a17ae8=\"rtl\"\r\n", false},
      {"50a17ae8=\"RTL \"\r\n", false}, {"50a17ae8=\"LTR\"\r\n", false},
      {"comment only\r\n", false},
  };
  for (const auto& c : cases) {
    const std::string file = MarkerFile(c.body);
    MessageCatalog catalog;
    catalog.SetRightToLeft(!c.rightToLeft);
    ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
    catalog.DetectTextDirection();
    EXPECT_EQ(catalog.RightToLeft(), c.rightToLeft) << c.body;
  }
  MessageCatalog none;
  none.SetRightToLeft(true);
  none.DetectTextDirection();
  EXPECT_FALSE(none.RightToLeft());
}

// A codec handed in decides both the 8-bit file's text and the key's bytes.
TEST(CatalogLookup, CodecOfTheCaller) {
  static const AnsiCodec upper = {
      [](const char16_t* src, char* dst, size_t cap) {
        size_t i = 0;
        for (; i + 1 < cap && src[i] != 0; ++i) {
          dst[i] = static_cast<char>(src[i] >= u'a' && src[i] <= u'z' ? src[i] - 32 : src[i]);
        }
        dst[i] = 0;
        return src[i] == 0;
      },
      SystemAnsi.ansiToWide};
  MessageCatalog catalog(upper);
  char16_t key[kKeyCapacity];
  FormCatalogKey(upper, kDialogText, u"INFODLG", u"ok", key);
  EXPECT_EQ(std::u16string(key), u"ad441f3e");
  const std::string file = MarkerFile("ad441f3e=\"Gut\"\r\n");
  ASSERT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
  EXPECT_EQ(Translated(catalog, u"ok", kDialogText, u"INFODLG"), u"Gut");
}
}  // namespace
