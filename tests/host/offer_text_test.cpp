#include "launcher/offer_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"

namespace {

std::u16string parts[4];

const char16_t* FakeFetch(int32_t id) {
  if (id < kInfoTextFirstId || id > kInfoTextLastId) return u"<wrong id>";
  return parts[id - kInfoTextFirstId].c_str();
}

std::u16string Compose() {
  char16_t text[kDialogTextCapacity + 8];
  for (char16_t& c : text) c = u'#';
  ComposeInfoText(text, FakeFetch);
  EXPECT_EQ(text[kDialogTextCapacity], u'#') << "wrote past the dialog text's capacity";
  return text;
}

TEST(InfoText, EachPartIsFollowedByOneBlankInIdOrder) {
  parts[0] = u"One.";
  parts[1] = u"Two.";
  parts[2] = u"";
  parts[3] = u"\r\n\r\nFour.";
  EXPECT_EQ(Compose(), u"One. Two.  \r\n\r\nFour. ");
}

TEST(InfoText, TooLongPartsAreCutAtTheCapacity) {
  parts[0] = std::u16string(600, u'a');
  parts[1] = std::u16string(600, u'b');
  parts[2] = u"c";
  parts[3] = u"d";
  const std::u16string text = Compose();
  ASSERT_EQ(text.size(), kDialogTextCapacity - 1);
  EXPECT_EQ(text.substr(0, 601), std::u16string(600, u'a') + u" ");
  EXPECT_EQ(text.substr(601), std::u16string(kDialogTextCapacity - 1 - 601, u'b'));
}

TEST(FirstUsePage, TextsBeginningWithAWebScheme) {
  const struct {
    const char16_t* text;
    bool opened;
  } cases[] = {
      {u"http://example.com/first-use", true},
      {u"http://", true},
      {u"First use info URL", false},
      {u"https://example.com/", true},
      {u"HTTP://example.com/", true},
      {u"hTTps://", true},
      {u"ftp://example.com/", false},
      {u"http:/", false},
      {u"http:", false},
      {u" http://example.com/", false},
      {u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsFirstUsePage(c.text), c.opened) << std::string(c.text, c.text + TextLength(c.text));
  }
}

// Link targets and first-use pages come from files the user can write: only
// a web address with nothing that could split the browser's command line.
TEST(WebAddress, OnlyHttpOrHttpsWithoutBlanksQuotesOrControls) {
  for (const char16_t* url : {u"http://example.com/pt/policy.php", u"https://example.com/",
                              u"HTTP://EXAMPLE.COM", u"hTtPs://x", u"http://x/\u00E9?q=1#f"}) {
    EXPECT_TRUE(IsWebAddress(url)) << std::string(url, url + TextLength(url));
  }
  for (const char16_t* url :
       {u"", u"http://", u"https://", u"http:/x", u"file:///C:/users/Public/evil.exe",
        u"C:\\users\\Public\\evil.exe", u"\\\\srv\\share\\evil.exe", u"ftp://x", u"httpx://x",
        u" http://x", u"javascript:alert(1)", u"http://x\" --flag", u"http://x y", u"http://x\ty",
        u"http://x\r\n"}) {
    EXPECT_FALSE(IsWebAddress(url)) << std::string(url, url + TextLength(url));
  }
}

}  // namespace
