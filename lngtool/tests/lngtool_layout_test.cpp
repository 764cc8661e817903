// The layout check's rules on measured dialogs, the fit search, and the
// rewrite of a scale entry that must leave every other byte alone.
#include <gtest/gtest.h>

#include "lngtool/io/text_form.h"
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
  ASSERT_TRUE(FindFit([](ScalePercent s) { return s.x >= 125 && s.y >= 110; }, &fit));
  EXPECT_EQ(ScaleValue(fit), u"125*110");
  EXPECT_FALSE(FindFit([](ScalePercent) { return false; }, &fit));
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
