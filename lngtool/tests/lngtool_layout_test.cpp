// The layout check's rules on measured dialogs, the fit search, and the
// rewrite of a scale entry that must leave every other byte alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "lngtool/io/text_form.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/layout_findings.h"
#include "lngtool/render/layout_fit.h"
#include "lngtool_test_support.h"
#include "localization/message_catalog.h"

namespace lngtool {
namespace {

ControlLayout Control(LayoutRect place, Extent needs = {0, 0}) {
  ControlLayout c;
  c.className = "Static";
  c.place = place;
  c.measured = needs.cx > 0;
  c.needs = needs;
  c.has = {place.right - place.left, place.bottom - place.top};
  return c;
}

std::vector<FindingKind> Kinds(const DialogLayout& english, const DialogLayout& shown) {
  std::vector<FindingKind> kinds;
  for (const LayoutFinding& f : FindLayoutProblems(english, shown)) {
    kinds.push_back(f.kind);
  }
  return kinds;
}

TEST(LayoutFindings, CutOverlapAndOutsideButNotAnExactFit) {
  DialogLayout english{"D", {200, 100}, {Control({0, 0, 100, 20}), Control({0, 30, 100, 50})}};
  DialogLayout shown = english;
  shown.controls[0] = Control({0, 0, 100, 20}, {100, 20});  // exactly fits
  EXPECT_TRUE(Kinds(english, shown).empty());
  shown.controls[0].needs = {100, 21};  // one line too many
  EXPECT_EQ(Kinds(english, shown), std::vector<FindingKind>{FindingKind::kCut});
  shown.controls[0].needs = {101, 20};  // one word too long
  EXPECT_EQ(Kinds(english, shown), std::vector<FindingKind>{FindingKind::kCut});
  shown = english;
  shown.controls[1].place = {0, 19, 100, 39};  // pushed into its neighbour
  EXPECT_EQ(Kinds(english, shown), std::vector<FindingKind>{FindingKind::kOverlap});
  shown.controls[1].place = {150, 30, 201, 50};  // one pixel beyond the edge
  EXPECT_EQ(Kinds(english, shown), std::vector<FindingKind>{FindingKind::kOutside});
  // Overlaps the English dialog has already (a group box and its content) are the design's.
  english.controls[1].place = {0, 10, 100, 50};
  shown.controls[1].place = {0, 10, 100, 50};
  EXPECT_TRUE(Kinds(english, shown).empty());
  shown.title = Control({0, 0, 0, 0}, {300, 0});  // a caption 100 pixels short
  shown.title.has = {200, 0};
  ASSERT_EQ(Kinds(english, shown), std::vector<FindingKind>{FindingKind::kCut});
  EXPECT_EQ(FindLayoutProblems(english, shown)[0].control, kTitleFinding);
}

ControlLayout Wrapped(Extent needs, Extent has) {
  ControlLayout c = Control({0, 0, has.cx, has.cy}, needs);
  c.id = 5101;
  c.shown = u"Install";
  c.wraps = true;
  c.lineHeight = 13;
  return c;
}

// What each kind of cut says, and which growth removes it.
TEST(LayoutFindings, CutsSayWhatTheyNeed) {
  struct Case {
    ControlLayout control;
    const char* what = "";
    bool wider = false;
    bool taller = false;
  };
  ControlLayout single = Control({0, 0, 100, 13}, {120, 13});
  single.id = 7;
  single.shown = u"OK";
  const Case cases[] = {
      // Lines, in the unit the control shows them; width or height mends it.
      {Wrapped({304, 26}, {335, 13}),
       "cut: control 5101 (Static) \"Install\" needs 2 lines of 335 pixels, the control shows "
       "1 line",
       true, true},
      {Wrapped({519, 52}, {520, 39}),
       "cut: control 5101 (Static) \"Install\" needs 4 lines of 520 pixels, the control shows "
       "3 lines",
       true, true},
      // A word longer than the control is no matter of lines.
      {Wrapped({340, 26}, {335, 13}),
       "cut: control 5101 (Static) \"Install\" is 5 pixels too wide and 13 pixels too tall", true,
       true},
      {single, "cut: control 7 (Static) \"OK\" is 20 pixels too wide", true, false},
  };
  for (const Case& c : cases) {
    DialogLayout english{"D", {1000, 100}, {Control({0, 0, 10, 10})}};
    DialogLayout shown = english;
    shown.controls[0] = c.control;
    const std::vector<LayoutFinding> found = FindLayoutProblems(english, shown);
    ASSERT_EQ(found.size(), 1u) << c.what;
    EXPECT_EQ(found[0].what, c.what);
    bool wider = false;
    bool taller = false;
    NeededGrowth(found, &wider, &taller);
    EXPECT_EQ(wider, c.wider) << c.what;
    EXPECT_EQ(taller, c.taller) << c.what;
  }
}

// Characters no font shows are named, a pair of surrogates as one; no scale
// entry mends them.
TEST(LayoutFindings, MissingGlyphsNamedAndNotGrowable) {
  DialogLayout english{"D", {400, 100}, {Control({0, 0, 10, 10})}};
  DialogLayout shown = english;
  shown.controls[0].id = 1;
  shown.controls[0].shown = u"\uE000OK\U0001F600";
  shown.controls[0].unshown = u"\uE000\U0001F600";
  const std::vector<LayoutFinding> found = FindLayoutProblems(english, shown);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].kind, FindingKind::kMissingGlyph);
  EXPECT_NE(found[0].what.find("no font shows U+E000, U+1F600 "), std::string::npos)
      << found[0].what;
  EXPECT_FALSE(Growable(found[0]));
  bool wider = false;
  bool taller = false;
  NeededGrowth(found, &wider, &taller);
  EXPECT_FALSE(wider || taller);
}

// Once a catalog: every character counted and listed once over its texts,
// with the locale that shows them, or the word that no font here does.
TEST(LayoutFindings, MissingGlyphsToldOnceWithTheLocale) {
  MissingGlyphs glyphs;
  glyphs.Add(u"\u65e5\u672c");
  glyphs.Add(u"");
  glyphs.Add(u"\u672c\u3042\U0001F600");
  EXPECT_EQ(glyphs.texts, 2u);
  EXPECT_EQ(glyphs.characters, u"\u65e5\u672c\u3042\U0001F600");
  const std::string told = MissingGlyphsText(glyphs, "ja-JP", "en-US");
  EXPECT_EQ(told.substr(0, told.find(" \"")),
            "missing-glyph: no font shows 4 characters, in 2 texts: U+65E5, U+672C, U+3042, "
            "U+1F600");
  EXPECT_NE(told.find("; check it in the language's own locale: tools/lngtool-layout --locale "
                      "ja-JP"),
            std::string::npos);
  EXPECT_NE(MissingGlyphsText(glyphs, "ja-JP", "ja-JP").find("not even in the locale ja-JP"),
            std::string::npos);

  const struct {
    const char* tag;
    const char16_t* characters;
    const char* locale;
  } cases[] = {
      {"pt-BR", u"", "pt-BR"},
      {"ja", u"", "ja-JP"},
      {"de", u"", "de-DE"},
      {"", u"\u65e5\u3042", "ja-JP"},  // kana tell Japanese
      {"", u"\u65e5", "zh-CN"},
      {"", u"\uac00", "ko-KR"},
      {"", u"\u05d0", "he-IL"},
      {"", u"\uE000", ""},
      {"zh-Hant-TW", u"\u65e5", "zh-TW"},
      {"sr-Latn", u"", "sr-RS"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SuggestedLocale(c.tag, c.characters), c.locale) << c.tag;
  }
}

TEST(LayoutFindings, OutlineStaysInTheImage) {
  constexpr size_t kWidth = 4;
  constexpr size_t kHeight = 3;
  constexpr size_t kPixel = 3;  // red, green, blue
  std::vector<uint8_t> rgb(kWidth * kHeight * kPixel, 0);
  OutlineBox(&rgb, kWidth, kHeight, {1, 1, 10, 10});  // reaches far beyond the image
  EXPECT_EQ(rgb.size(), 36u);
  EXPECT_EQ(rgb[0], 255);                        // the frame at the corner
  EXPECT_EQ(rgb[(1 * kWidth + 1) * kPixel], 0);  // the inside untouched
  EXPECT_EQ(rgb[(2 * kWidth) * kPixel], 255);    // the frame's left side, red as 255, 0, 0
  EXPECT_EQ(rgb[(2 * kWidth) * kPixel + 1], 0);
}

// In steps of 1 %, the least area first: a text a few pixels too wide gets a
// few percent of width, not a dialog twice as tall; of equal areas the wider.
TEST(LayoutFit, LeastAreaFirstAndWidthBeforeHeight) {
  const std::vector<ScalePercent> all = FitCandidates({100, 100}, true, true);
  ASSERT_EQ(all.size(), 101u * 101u);
  EXPECT_EQ(ScaleValue(all.front()), u"100*100");
  for (size_t i = 1; i < all.size(); ++i) {
    ASSERT_LE(all[i - 1].x * all[i - 1].y, all[i].x * all[i].y) << i;
  }
  auto first = [&](bool (*clean)(ScalePercent)) {
    return ScaleValue(*std::find_if(all.begin(), all.end(), clean));
  };
  // A wrapped line mended by 3 % of width or 40 % of height.
  EXPECT_EQ(first([](ScalePercent s) { return s.x >= 103 || s.y >= 140; }), u"103*100");
  EXPECT_EQ(first([](ScalePercent s) { return s.x * s.y >= 12000; }), u"120*100");
}

// A dialog that needs height only grows in height, from the catalog's width;
// the catalog's own values stay within reach beyond 100..200.
TEST(LayoutFit, GrowsOnlyTheDimensionNeeded) {
  const std::vector<ScalePercent> taller = FitCandidates({120, 90}, false, true);
  ASSERT_EQ(taller.size(), 111u);
  EXPECT_EQ(ScaleValue(taller.front()), u"120*90");
  EXPECT_EQ(ScaleValue(taller.back()), u"120*200");
  const std::vector<ScalePercent> wider = FitCandidates({100, 250}, true, false);
  EXPECT_EQ(ScaleValue(wider[1]), u"101*250");
  EXPECT_EQ(ScaleValue(FitCandidates({250, 100}, true, false).back()), u"250*100");
  EXPECT_TRUE(FitCandidates({100, 100}, false, false).empty());
}

// Each display scale's session tells its clean candidates; the fit is the
// first candidate clean at all of them, growing what any of them needs.
TEST(LayoutFit, CleanAtEveryScale) {
  auto cleanFrom = [](bool wider, bool taller, int32_t x, int32_t y) {
    FitData d;
    for (const ScalePercent& s : FitCandidates({100, 100}, wider, taller)) {
      d.clean.push_back(s.x >= x && s.y >= y ? '1' : '0');
    }
    return d;
  };
  FitData at96 = cleanFrom(false, true, 100, 120);
  at96.taller = true;
  const FitData at144 = cleanFrom(false, true, 100, 135);  // nothing wrong there now
  std::vector<ScalePercent> fits = CleanEverywhere({100, 100}, {at96, at144});
  ASSERT_FALSE(fits.empty());
  EXPECT_EQ(ScaleValue(fits.front()), u"100*135");
  // Once a scale needs width too, every session measures the whole grid.
  at96 = cleanFrom(true, true, 100, 120);
  at96.taller = true;
  FitData at192 = cleanFrom(true, true, 110, 100);
  at192.wider = true;
  fits = CleanEverywhere({100, 100}, {at96, cleanFrom(true, true, 100, 135), at192});
  ASSERT_FALSE(fits.empty());
  EXPECT_EQ(ScaleValue(fits.front()), u"110*135");
  // A session that measured other candidates leaves nothing clean.
  EXPECT_TRUE(CleanEverywhere({100, 100}, {at96, at144, at192}).empty());

  std::map<std::string, FitData> parsed;
  ASSERT_TRUE(ParseFitData(FormatFitData({{"LAUNCHDLG", at96}, {"0/INFODLG", at192}}), &parsed));
  EXPECT_EQ(parsed["LAUNCHDLG"].clean, at96.clean);
  EXPECT_TRUE(parsed["LAUNCHDLG"].taller);
  EXPECT_TRUE(parsed["0/INFODLG"].wider);
  EXPECT_FALSE(parsed["0/INFODLG"].taller);
  ASSERT_TRUE(ParseFitData("3/LAUNCHDLG 1 0 \n", &parsed));  // the needs alone
  EXPECT_TRUE(parsed["3/LAUNCHDLG"].clean.empty());
  for (const char* bad : {"LAUNCHDLG 1 0", "LAUNCHDLG 2 0 01", " 1 0 01", "LAUNCHDLG 1 0 0x"}) {
    EXPECT_FALSE(ParseFitData(bad, &parsed)) << bad;
  }
}

TEST(LayoutFit, DisplayScaleLists) {
  struct Case {
    const char* text;
    std::vector<int> dpis;  // empty: refused
  };
  const Case cases[] = {{"96,120,144,192", {96, 120, 144, 192}},
                        {"144", {144}},
                        {"96,96", {}},
                        {"96,", {}},
                        {"", {}},
                        {"47", {}},
                        {"481", {}},
                        {"9a", {}},
                        {"-96", {}}};
  for (const Case& c : cases) {
    std::vector<int> dpis;
    EXPECT_EQ(ParseDpiList(c.text, &dpis), !c.dpis.empty()) << c.text;
    if (!c.dpis.empty()) {
      EXPECT_EQ(dpis, c.dpis) << c.text;
    }
  }
}

ScalePercent ScaleOf(const std::vector<uint8_t>& bytes) {
  MessageCatalog catalog;
  catalog.LoadFromBytes(bytes.data(), bytes.size());
  ScalePercent s;
  catalog.GetDialogScale(u"LAUNCHDLG", &s.x, &s.y);
  return s;
}

TEST(LayoutFit, RewritesOnlyTheScaleEntryInBothForms) {
  const std::u16string text = TemplateCatalog();
  for (const bool utf16 : {true, false}) {
    const std::vector<uint8_t> before = utf16 ? Utf16File(text) : AnsiFile(text);
    std::vector<uint8_t> after;
    std::string err;
    ASSERT_TRUE(SetScaleEntry(before, SystemAnsi, u"LAUNCHDLG", {125, 110}, &after, &err)) << err;
    EXPECT_EQ(ScaleOf(after).x, 125);
    EXPECT_EQ(ScaleOf(after).y, 110);
    std::u16string expected = text;
    const size_t at = expected.find(u"be06f7dd=\"100*100\"");
    expected.replace(at, 18, u"be06f7dd=\"125*110\"");
    EXPECT_EQ(after, utf16 ? Utf16File(expected) : AnsiFile(expected));
  }
}

TEST(LayoutFit, AddsAMissingEntryAndRefusesAFileWithoutMarker) {
  const std::u16string text = u"; no scale\r\n***messages***\r\n0123abcd=\"x\"";
  std::vector<uint8_t> after;
  std::string err;
  ASSERT_TRUE(SetScaleEntry(AnsiFile(text), SystemAnsi, u"LAUNCHDLG", {150, 100}, &after, &err));
  // With the comment a template gives it, saying what the line does.
  EXPECT_EQ(after,
            AnsiFile(text + u"\r\n# $ LAUNCHDLG \"\" (scale: horizontal*vertical percentages, "
                            u"100*100 keeps the size)\r\nbe06f7dd=\"150*100\"\r\n"));
  // An entry after a form feed, which ends a line for the launcher only.
  const std::u16string fed = u"***messages***\r\nabc\fbe06f7dd=\"90*90\" ; old\r\nend";
  ASSERT_TRUE(SetScaleEntry(Utf16File(fed), SystemAnsi, u"LAUNCHDLG", {105, 100}, &after, &err));
  EXPECT_EQ(after, Utf16File(u"***messages***\r\nabc\fbe06f7dd=\"105*100\"\r\nend"));
  EXPECT_FALSE(
      SetScaleEntry(AnsiFile(u"no marker"), SystemAnsi, u"LAUNCHDLG", {150, 100}, &after, &err));
}

}  // namespace
}  // namespace lngtool
