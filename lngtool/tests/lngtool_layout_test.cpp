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
      {Wrapped({304, 26}, {335, 13}),
       "cut: control 5101 (Static) \"Install\" needs 2 lines, has 1 (304 of 335 pixels wide)",
       false, true},
      {Wrapped({519, 52}, {520, 39}),
       "cut: control 5101 (Static) \"Install\" needs 4 lines, has 3 (519 of 520 pixels wide)",
       false, true},
      // A word longer than the control is no matter of lines.
      {Wrapped({340, 26}, {335, 13}),
       "cut: control 5101 (Static) \"Install\" needs 340 x 26 pixels, has 335 x 13", true, true},
      {single, "cut: control 7 (Static) \"OK\" needs 120 x 13 pixels, has 100 x 13", true, false},
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

TEST(LayoutFit, SmallestAreaFirstAndNoSmallerNeighbourAfter) {
  const std::vector<ScalePercent> all = FitCandidates();
  ASSERT_EQ(all.size(), 21u * 21u);
  EXPECT_EQ(all.front().x, 100);
  EXPECT_EQ(all.back().x, 200);
  ScalePercent fit;
  // Clean from 125 wide and 110 tall on, as a dialog whose texts need both.
  ASSERT_TRUE(FindFit(
      all, [](ScalePercent s) { return s.x >= 125 && s.y >= 110; }, &fit));
  EXPECT_EQ(ScaleValue(fit), u"125*110");
  EXPECT_FALSE(FindFit(
      all, [](ScalePercent) { return false; }, &fit));
}

// A dialog that needs height only grows in height, from the catalog's width.
TEST(LayoutFit, GrowsOnlyTheDimensionNeeded) {
  const std::vector<ScalePercent> taller = FitCandidates({120, 90}, false, true);
  ASSERT_EQ(taller.size(), 21u);
  EXPECT_EQ(ScaleValue(taller.front()), u"120*100");
  EXPECT_EQ(ScaleValue(taller.back()), u"120*200");
  const std::vector<ScalePercent> wider = FitCandidates({100, 100}, true, false);
  EXPECT_EQ(ScaleValue(wider[1]), u"105*100");
  EXPECT_EQ(FitCandidates({100, 100}, true, true).size(), 441u);
  // The grid holds every candidate, the catalog's own values among them.
  const std::vector<ScalePercent> grid = FitGrid({120, 90});
  EXPECT_EQ(grid.size(), 21u * 22u);
  for (const ScalePercent& s : taller) {
    EXPECT_TRUE(std::any_of(grid.begin(), grid.end(),
                            [&](ScalePercent g) { return g.x == s.x && g.y == s.y; }));
  }
}

// Each display scale's session tells its clean scales; the fit is the first
// candidate clean at all of them, growing what any of them needs.
TEST(LayoutFit, CleanAtEveryScale) {
  const std::vector<ScalePercent> grid = FitGrid({100, 100});
  auto cleanFrom = [&](int32_t x, int32_t y) {
    FitData d;
    for (const ScalePercent& s : grid) {
      d.clean.push_back(s.x >= x && s.y >= y ? '1' : '0');
    }
    return d;
  };
  FitData at96 = cleanFrom(100, 120);
  at96.taller = true;
  FitData at144 = cleanFrom(100, 135);  // taller still, but it says nothing is wrong now
  std::vector<ScalePercent> fits = CleanEverywhere({100, 100}, {at96, at144});
  ASSERT_FALSE(fits.empty());
  EXPECT_EQ(ScaleValue(fits.front()), u"100*135");
  FitData at192 = cleanFrom(110, 100);
  at192.wider = true;
  fits = CleanEverywhere({100, 100}, {at96, at144, at192});
  ASSERT_FALSE(fits.empty());
  EXPECT_EQ(ScaleValue(fits.front()), u"110*135");
  EXPECT_TRUE(CleanEverywhere({100, 100}, {at96, FitData{}}).empty());

  std::map<std::string, FitData> parsed;
  ASSERT_TRUE(ParseFitData(FormatFitData({{"LAUNCHDLG", at96}, {"INFODLG", at192}}), &parsed));
  EXPECT_EQ(parsed["LAUNCHDLG"].clean, at96.clean);
  EXPECT_TRUE(parsed["LAUNCHDLG"].taller);
  EXPECT_TRUE(parsed["INFODLG"].wider);
  EXPECT_FALSE(parsed["INFODLG"].taller);
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
  EXPECT_EQ(after, AnsiFile(text + u"\r\nbe06f7dd=\"150*100\"\r\n"));
  // An entry after a form feed, which ends a line for the launcher only.
  const std::u16string fed = u"***messages***\r\nabc\fbe06f7dd=\"90*90\" ; old\r\nend";
  ASSERT_TRUE(SetScaleEntry(Utf16File(fed), SystemAnsi, u"LAUNCHDLG", {105, 100}, &after, &err));
  EXPECT_EQ(after, Utf16File(u"***messages***\r\nabc\fbe06f7dd=\"105*100\"\r\nend"));
  EXPECT_FALSE(
      SetScaleEntry(AnsiFile(u"no marker"), SystemAnsi, u"LAUNCHDLG", {150, 100}, &after, &err));
}

}  // namespace
}  // namespace lngtool
