// The translators' checks and the link control's reading of link markup,
// each a table: English, translation, what must be found.
#include <gtest/gtest.h>

#include <string>

#include "lngtool/catalog/link_markup.h"
#include "lngtool/catalog/translator_checks.h"
#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {

// The checks' names found, joined by blanks.
std::string Found(const std::u16string& english, const std::u16string& translation,
                  bool accessKeys) {
  static const std::vector<std::u16string> names = DefaultProductNames();
  TextPlace place;
  place.accessKeys = accessKeys;
  place.productNames = &names;
  std::string found;
  for (const TextFault& f : CompareWithEnglish(english, translation, place)) {
    found += (found.empty() ? "" : " ") + std::string(f.check);
    EXPECT_FALSE(f.message.empty());
  }
  return found;
}

TEST(TranslatorChecks, EachFindsItsFaultAndNoOther) {
  const struct {
    const char16_t* english;
    const char16_t* translation;
    bool accessKeys;
    const char* expected;  // "": nothing
  } cases[] = {
      // Line breaks at either end; those inside are the translator's.
      {u"\r\n\r\nYou can close this window now.", u"\r\nVous pouvez fermer.", false, "newlines"},
      {u"\r\n\r\nYou can close this window now.", u"\r\n\r\nVous pouvez\r\nfermer.", false, ""},
      {u"Done.\r\n", u"Fertig.", false, "newlines"},
      {u"\r\n\r\nClose.", u"\r\n\r\n Fermer.", false, "startwhitespace"},
      // Blanks at either end, doubled blanks.
      {u"OK", u" Gut", false, "startwhitespace"},
      {u" Name:", u"Nom :", false, "startwhitespace"},
      {u"Setup", u"Einrichtung ", false, "endwhitespace"},
      {u"Name: ", u"Nom\u00A0:", false, "endwhitespace"},
      {u"Zentak Setup", u"Zentak  Einrichtung", false, "doublespacing"},
      {u"Zentak Setup", u"Zentak\u00A0Einrichtung", false, ""},
      // Ending marks of every script.
      {u"Please wait.", u"Bitte warten", false, "endpunc"},
      {u"Please wait.", u"Bitte warten.", false, ""},
      {u"In progress...", u"En cours\u2026", false, ""},
      {u"In progress...", u"En cours", false, "endpunc"},
      {u"Done!", u"\u00A1Hecho!", false, ""},
      {u"Continue?", u"\u00BFContinuar?", false, ""},
      {u"Name:", u"Nom\u202F:", false, ""},
      {u"Continue?", u"\u03A3\u03C5\u03BD\u03AD\u03C7\u03B5\u03B9\u03B1;", false, ""},  // Greek
      {u"Please wait.", u"\u8BF7\u7A0D\u5019\u3002", false, ""},                        // Chinese
      {u"Please wait.", u"\u8BF7\u7A0D\u5019", false, "endpunc"},
      {u"Done!", u"\u5B8C\u4E86\uFF01", false, ""},                                     // Japanese
      {u"Continue?", u"\u0647\u0644 \u062A\u062A\u0627\u0628\u0639\u061F", false, ""},  // Arabic
      {u"Please wait.", u"\u0627\u0646\u062A\u0638\u0631 \u06D4", false, ""},           // Urdu
      {u"Please wait.",
       u"\u0915\u0943\u092A\u092F\u093E \u092A\u094D\u0930\u0924\u0940\u0915\u094D"
       u"\u0937\u093E \u0915\u0930\u0947\u0902\u0964",
       false, ""},                                                                  // Hindi
      {u"Please wait.", u"\u054D\u057A\u0561\u057D\u0565\u0584\u0589", false, ""},  // Armenian
      {u"Please wait.", u"\u12ED\u1320\u1265\u1241\u1362", false, ""},              // Amharic
      {u"Please wait.", u"\u1005\u1031\u102C\u1004\u1037\u103A\u1015\u102B\u104B", false, ""},
      {u"Please wait.", u"\u179F\u17BC\u1798\u179A\u1784\u17CB\u1785\u17B6\u17C6\u17D4", false, ""},
      {u"Please wait.", u"\u0F66\u0F92\u0F74\u0F42\u0F0D", false, ""},                // Tibetan
      {u"Please wait.", u"\u05D0\u05E0\u05D0 \u05D4\u05DE\u05EA\u05DF.", false, ""},  // Hebrew
      {u"Please wait.", u"\u041F\u043E\u0434\u043E\u0436\u0434\u0438\u0442\u0435", false,
       "endpunc"},  // Cyrillic without its stop
      {u"Agree to \"the terms.\"", u"Zustimmen \u201Eden Bedingungen.\u201C", false, ""},
      {u"See the policy", u"Voir la politique.", false, ""},  // adding a mark is the translator's
      // Access keys: only where the control takes '&'.
      {u"Install on my computer", u"Installer & prot\u00E9ger", true, "accelerators"},
      {u"Install on my computer", u"Installer && prot\u00E9ger", true, ""},
      {u"Install on my computer", u"Installer & prot\u00E9ger", false, ""},
      {u"&Install", u"Installer", true, "accelerators"},
      {u"&Install", u"&Installer", true, ""},
      {u"&Install", u"&Installer &maintenant", true, "accelerators"},
      // Product names, and a name kept while the rest is translated.
      {u"Zentak Setup", u"Installation", false, "names"},
      {u"Baidu Antivirus will protect you.", u"Baidu Antivirus vous prot\u00E8ge.", false, ""},
      {u"Install Baidu Antivirus", u"Installer Baidu", false, "names"},
      {u"OK", u"OK", true, ""},
      // Several at once, each named.
      {u"Thank you for using Zentak!", u" Merci  ", false,
       "startwhitespace endwhitespace doublespacing endpunc names"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Found(c.english, c.translation, c.accessKeys), c.expected)
        << ToUtf8(c.english) << " -> " << ToUtf8(c.translation);
  }
}

TEST(TranslatorChecks, AccessKeyIsTheFirstSingleAmpersand) {
  EXPECT_EQ(AccessKey(u"&Install"), u'I');
  EXPECT_EQ(AccessKey(u"Salt && &pepper"), u'P');
  EXPECT_EQ(AccessKey(u"Salt && pepper"), 0);
  EXPECT_EQ(AccessKey(u"Trailing &"), 0);
}

TEST(LinkMarkup, ReadAsTheLinkControlReadsIt) {
  const struct {
    const char16_t* markup;
    const char* fault;  // a word of the reason; "": it reads
    std::u16string targets;
  } cases[] = {
      {u"<a href=\"http://x.test/p\">Policy</a>", "", u"http://x.test/p"},
      {u"Read <A HREF='http://x.test/p' id=\"p\">the policy</A>.", "", u"http://x.test/p"},
      {u"<a href=\"http://x.test/a\">A</a> and <a href=\"http://x.test/b\">B</a>", "",
       u"http://x.test/a http://x.test/b"},
      {u"<a>no target</a>", "", u""},
      {u"a < b, b > a", "", u""},
      {u"<a href=\"http://x.test/p>Policy</a>", "closing quote", u""},
      {u"<a href=\"http://x.test/p\">Policy", "has no </a>", u"http://x.test/p"},
      {u"<a href=\"http://x.test/p\">Policy</a", "closing >", u"http://x.test/p"},
      {u"<a href=\"http://x.test/p\"Policy</a>", "attribute", u""},
      {u"<a href=http://x.test/p>Policy</a>", "quoted", u""},
      {u"<a href=\"http://x.test/p\"", "closing >", u""},
      {u"<b>Policy</b>", "no tag", u""},
      {u"<a href=\"http://x.test/p\"><b>Policy</b></a>", "no tag", u"http://x.test/p"},
      {u"Policy</a>", "closes no link", u""},
      {u"<a href=\"http://x.test/p\"> </a>", "no text", u"http://x.test/p"},
      {u"<a href=\"http://x.test/a\">A <a href=\"http://x.test/b\">B</a>", "inside",
       u"http://x.test/a"},
  };
  for (const auto& c : cases) {
    const LinkMarkup read = ReadLinkMarkup(c.markup);
    std::u16string targets;
    for (const std::u16string& t : read.targets) {
      targets += (targets.empty() ? u"" : u" ") + t;
    }
    if (*c.fault == 0) {
      EXPECT_EQ(read.fault, "") << ToUtf8(c.markup);
    } else {
      EXPECT_NE(read.fault.find(c.fault), std::string::npos)
          << ToUtf8(c.markup) << ": " << read.fault;
    }
    EXPECT_EQ(targets, c.targets) << ToUtf8(c.markup);
  }
}

}  // namespace
}  // namespace lngtool
