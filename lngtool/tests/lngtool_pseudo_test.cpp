// "lngtool pseudo": every shown text changed and longer, what the launcher
// needs kept, the same bytes every time, and nothing for check to object to.
#include <gtest/gtest.h>

#include "lngtool/catalog/pseudo_translation.h"
#include "lngtool/io/text_form.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

bool HasLatinLetter(const std::u16string& text) {
  for (char16_t c : text) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
      return true;
    }
  }
  return false;
}

TEST(Pseudo, ChangesWhatIsShownAndKeepsWhatTheLauncherNeeds) {
  for (const bool rtl : {false, true}) {
    PseudoOptions options;
    options.rightToLeft = rtl;
    for (const CatalogEntry& e : PseudoEntries(LauncherTexts(), options)) {
      const ProgramText& t = e.text;
      SCOPED_TRACE(ToUtf8(t.source));
      if (t.role == TextRole::kDirection) {
        EXPECT_EQ(e.value, rtl ? u"RTL" : u"LTR");
      } else if (!t.Translatable() || (t.role == TextRole::kString && t.id == 5101)) {
        EXPECT_EQ(e.value, DefaultValue(t));
      } else {
        ASSERT_GT(e.value.size(), t.source.size());
        EXPECT_LT(e.value.size(), t.Capacity());
        EXPECT_EQ(e.value.front(), u'[');
        EXPECT_EQ(e.value.back(), u']');
        if (t.className == u"SYSLINK") {
          // The anchor and its address as they were; only the visible text changes.
          const size_t close = t.source.find(u'>');
          EXPECT_EQ(e.value.substr(1, close + 1), t.source.substr(0, close + 1));
          EXPECT_NE(e.value.find(u"</a>"), std::u16string::npos);
          EXPECT_FALSE(
              HasLatinLetter(e.value.substr(close + 2, e.value.find(u"</a>") - close - 2)));
        } else {
          EXPECT_FALSE(HasLatinLetter(e.value));
        }
      }
    }
  }
  EXPECT_EQ(PseudoText(u"\r\nab\\", {}, 512), u"[\r\n\u00e1\u0180\\ ]");
}

TEST(Pseudo, GrowsShortTextsMostAndHonoursExpand) {
  const std::u16string ten(10, u'x');
  const std::u16string thirty(30, u'x');
  EXPECT_EQ(PseudoText(ten, {}, 512).size(), 20u);
  EXPECT_EQ(PseudoText(thirty, {}, 512).size(), 39u);
  PseudoOptions doubled;
  doubled.expandPercent = 100;
  EXPECT_EQ(PseudoText(thirty, doubled, 512).size(), 60u);
  // Never beyond the launcher's buffer.
  EXPECT_EQ(PseudoText(std::u16string(500, u'x'), doubled, 512).size(), 511u);
}

TEST(Pseudo, CommandWritesTheSameCleanCatalogEveryTime) {
  const std::string first = TempPath("pseudo1.lng");
  const std::string second = TempPath("pseudo2.lng");
  ASSERT_EQ(RunTool({"pseudo", "--out", first, "--rtl", "--force"}).code, kExitFine);
  ASSERT_EQ(RunTool({"pseudo", "--out", second, "--rtl", "--force"}).code, kExitFine);
  std::vector<uint8_t> a;
  std::vector<uint8_t> b;
  ASSERT_TRUE(ReadWholeFile(first, &a));
  ASSERT_TRUE(ReadWholeFile(second, &b));
  EXPECT_EQ(a, b);
  const CheckReport report = CheckBytes(a);
  for (const CheckFinding& f : report.findings) {
    EXPECT_EQ(f.severity, Severity::kNote) << report.Format("pseudo.lng");
  }
  EXPECT_EQ(RunTool({"pseudo", "--out", first, "--expand", "x"}).code, kExitFailure);
}

}  // namespace
}  // namespace lngtool
