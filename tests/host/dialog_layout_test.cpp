#include "localization/dialog_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

// A dialog as the window manager lays it out: 3-pixel borders, a 22-pixel
// caption, client area 500 by 400 at screen (103, 125).
constexpr LayoutRect kWindow = {100, 100, 606, 528};
constexpr LayoutRect kClient = {0, 0, 500, 400};
constexpr int32_t kDialogFrame = 3;

bool operator==(const ControlPlacement& a, const ControlPlacement& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// The arithmetic in plain 32-bit ints, for inputs where it cannot overflow.
ControlPlacement LiteralControl(const LayoutRect& r, const LayoutRect& w, const LayoutRect& c,
                                int32_t d, int32_t x, int32_t y) {
  const int32_t fw = (w.right - w.left + 1) - c.right;
  const int32_t fh = (w.bottom - w.top + 1) - c.bottom;
  return {(r.left - fw / 2 - w.left) * x / 100, (r.top - (fh - d) - w.top) * y / 100,
          (r.right - r.left + 1) * x / 100, (r.bottom - r.top + 1) * y / 100};
}

// What MapWindowPoints does with a rectangle going from the screen into a
// window's client coordinates: clientLeft/Top is the screen position of the
// client area, clientWidth its width. A mirrored window counts x from its
// client area's right edge, and the rectangle's left and right swap places so
// that left stays the smaller.
LayoutRect MapToClient(const LayoutRect& r, int32_t clientLeft, int32_t clientTop,
                       int32_t clientWidth, bool mirrored) {
  if (!mirrored) {
    return {r.left - clientLeft, r.top - clientTop, r.right - clientLeft, r.bottom - clientTop};
  }
  const int32_t origin = clientLeft + clientWidth;
  return {origin - r.right, r.top - clientTop, origin - r.left, r.bottom - clientTop};
}

}  // namespace

TEST(DialogLayout, FrameIsOneMoreThanTheTrueFrame) {
  const FrameSize frame = MeasureFrame(kWindow, kClient);
  EXPECT_EQ(frame.fw, 7);   // 506 wide, 500 client: 6, plus one
  EXPECT_EQ(frame.fh, 29);  // 428 tall, 400 client: 28, plus one
}

TEST(DialogLayout, HundredPercentKeepsCornerAndOffsets) {
  const DialogPlacement dialog = PlaceDialog(kWindow, kClient, {100, 100}, true);
  EXPECT_EQ(dialog.x, 100);
  EXPECT_EQ(dialog.y, 100);
  // The extents are one more than the rectangle's, so the window grows by one.
  EXPECT_EQ(dialog.width, 507);
  EXPECT_EQ(dialog.height, 429);

  // A control at client (10, 20), 80 by 30: the horizontal origin is exact,
  // the vertical one sits fh - d below the window's top.
  const LayoutRect control = {113, 145, 193, 175};
  const ControlPlacement placed =
      PlaceControl(control, kWindow, MeasureFrame(kWindow, kClient), kDialogFrame, {100, 100});
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 45 - 26);
  EXPECT_EQ(placed.width, 81);
  EXPECT_EQ(placed.height, 31);
}

TEST(DialogLayout, DialogGrowsAboutItsCentre) {
  struct Case {
    LayoutScale scale;
    bool centered;
    DialogPlacement expected;
  };
  const Case cases[] = {
      // 500*120/100 + 7 = 607; 100 + (507 - 607)/2 = 50. 400*110/100 + 29 = 469.
      {{120, 110}, true, {50, 80, 607, 469, kMoveAndSize}},
      {{120, 110}, false, {50, 80, 607, 469, kSizeOnly}},
      // Shrinking moves the corner inwards; 333*500 = 166500 -> 1665.
      {{333, 100}, true, {0, 100, 1672, 429, kMoveAndSize}},
      {{50, 50}, true, {225, 200, 257, 229, kMoveAndSize}},
      // Percentages of 0 leave only the frame.
      {{0, 0}, true, {350, 300, 7, 29, kMoveAndSize}},
  };
  for (const Case& c : cases) {
    const DialogPlacement got = PlaceDialog(kWindow, kClient, c.scale, c.centered);
    SCOPED_TRACE(testing::Message() << c.scale.x << "*" << c.scale.y);
    EXPECT_EQ(got.x, c.expected.x);
    EXPECT_EQ(got.y, c.expected.y);
    EXPECT_EQ(got.width, c.expected.width);
    EXPECT_EQ(got.height, c.expected.height);
    EXPECT_EQ(got.flags, c.expected.flags);
  }
}

TEST(DialogLayout, CornerNeverLeavesTheScreen) {
  const LayoutRect nearCorner = {10, 5, 516, 433};
  const DialogPlacement got = PlaceDialog(nearCorner, kClient, {200, 200}, true);
  EXPECT_EQ(got.x, 0);  // 10 + (507 - 1007)/2 = -240
  EXPECT_EQ(got.y, 0);
  EXPECT_EQ(got.width, 1007);
  EXPECT_EQ(got.height, 829);
}

TEST(DialogLayout, ControlsScaleAndTruncateTowardZero) {
  const FrameSize frame = MeasureFrame(kWindow, kClient);
  struct Case {
    LayoutRect control;
    LayoutScale scale;
    ControlPlacement expected;
  };
  const Case cases[] = {
      // Client (10, 20), 80 by 30: offsets 10 and 19, extents 81 and 31.
      {{113, 145, 193, 175}, {120, 110}, {12, 20, 97, 34}},
      // Offsets -7 and -9 truncate toward zero: -8.4 -> -8, -9.9 -> -9.
      {{96, 117, 106, 120}, {120, 110}, {-8, -9, 13, 4}},
      {{96, 117, 106, 120}, {0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const ControlPlacement got = PlaceControl(c.control, kWindow, frame, kDialogFrame, c.scale);
    EXPECT_EQ(got.left, c.expected.left);
    EXPECT_EQ(got.top, c.expected.top);
    EXPECT_EQ(got.width, c.expected.width);
    EXPECT_EQ(got.height, c.expected.height);
  }
}

TEST(DialogLayout, DroppedListAddsItsScaledHeight) {
  ControlPlacement combo = {12, 20, 97, 23};
  AddDroppedHeight(&combo, {113, 145, 193, 245}, {120, 110});
  EXPECT_EQ(combo.height, 23 + 111);  // 101 * 110 / 100
  EXPECT_EQ(combo.left, 12);
  EXPECT_EQ(combo.width, 97);
}

TEST(DialogLayout, HugePercentagesClampInsteadOfWrapping) {
  const FrameSize frame = MeasureFrame(kWindow, kClient);
  const LayoutRect control = {113, 145, 193, 175};
  const LayoutRect leftOfOrigin = {96, 117, 106, 120};
  // INT32_MAX, and the low 32 bits of a 10-digit entry read as negative.
  for (const int32_t huge : {INT32_MAX, INT32_MIN, 2000000000, -2000000000}) {
    SCOPED_TRACE(huge);
    const LayoutScale scale = {huge, huge};
    const ControlPlacement got = PlaceControl(control, kWindow, frame, kDialogFrame, scale);
    const int32_t edge = huge > 0 ? kLayoutLimit : -kLayoutLimit;
    EXPECT_EQ(got.left, edge);
    EXPECT_EQ(got.top, edge);
    EXPECT_EQ(got.width, huge > 0 ? kLayoutLimit : 0);
    EXPECT_EQ(got.height, huge > 0 ? kLayoutLimit : 0);
    EXPECT_LE(int64_t{got.left} + got.width, int64_t{INT32_MAX});

    const ControlPlacement negative =
        PlaceControl(leftOfOrigin, kWindow, frame, kDialogFrame, scale);
    EXPECT_EQ(negative.left, -edge);

    const DialogPlacement dialog = PlaceDialog(kWindow, kClient, scale, true);
    EXPECT_GE(dialog.x, 0);
    EXPECT_GE(dialog.y, 0);
    EXPECT_EQ(dialog.width, huge > 0 ? kLayoutLimit : 0);
    EXPECT_LE(int64_t{dialog.x} + dialog.width, int64_t{INT32_MAX});

    ControlPlacement combo = got;
    AddDroppedHeight(&combo, {0, 0, 100, 100}, scale);
    EXPECT_EQ(combo.height, huge > 0 ? kLayoutLimit : 0);
  }
  // Differences of extreme coordinates exceed 32 bits before any percentage.
  const LayoutRect farControl = {INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX};
  const LayoutRect farWindow = {INT32_MIN, INT32_MAX, 0, 0};
  const ControlPlacement far =
      PlaceControl(farControl, farWindow, frame, kDialogFrame, {INT32_MIN, INT32_MIN});
  EXPECT_EQ(far.left, -kLayoutLimit);
  EXPECT_EQ(far.top, kLayoutLimit);
  EXPECT_EQ(far.width, kLayoutLimit);
  EXPECT_EQ(far.height, 0);
}

TEST(DialogLayout, AgreesWithThirtyTwoBitArithmeticInItsRange) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int32_t> coordinate(-3000, 3000);
  std::uniform_int_distribution<int32_t> extent(0, 2000);
  std::uniform_int_distribution<int32_t> percent(0, 400);
  for (int i = 0; i < 20000; ++i) {
    const LayoutRect w = {coordinate(random), coordinate(random), 0, 0};
    const LayoutRect window = {w.left, w.top, w.left + extent(random), w.top + extent(random)};
    const LayoutRect client = {0, 0, extent(random), extent(random)};
    const int32_t l = coordinate(random), t = coordinate(random);
    const LayoutRect control = {l, t, l + extent(random), t + extent(random)};
    const int32_t x = percent(random), y = percent(random);
    const ControlPlacement expected = LiteralControl(control, window, client, 3, x, y);
    const ControlPlacement got =
        PlaceControl(control, window, MeasureFrame(window, client), 3, {x, y});
    ASSERT_TRUE(got.left == expected.left && got.top == expected.top) << i;
    ASSERT_EQ(got.width, expected.width) << i;
    ASSERT_EQ(got.height, expected.height) << i;
  }
}

// The Win32 walk maps the dialog's and each control's window rectangle into
// the dialog's client coordinates before this arithmetic: unmirrored, that is
// a translation and changes no result; mirrored, it measures from the right
// edge, so a mirrored dialog scales exactly as its unmirrored twin.
TEST(DialogLayout, ClientCoordinatesAgreeWithScreenCoordinatesUnmirrored) {
  const FrameSize frame = MeasureFrame(kWindow, kClient);
  const LayoutRect controls[] = {
      {113, 145, 193, 175}, {96, 117, 106, 120}, {103, 125, 603, 525}, {550, 500, 700, 600}};
  for (const LayoutScale scale : {LayoutScale{120, 110}, {100, 100}, {75, 333}, {0, 1}}) {
    const LayoutRect window = MapToClient(kWindow, 103, 125, 500, false);
    EXPECT_EQ(window.left, -3);
    EXPECT_EQ(window.top, -25);
    for (const LayoutRect& control : controls) {
      const LayoutRect mapped = MapToClient(control, 103, 125, 500, false);
      EXPECT_TRUE(PlaceControl(mapped, window, frame, kDialogFrame, scale) ==
                  PlaceControl(control, kWindow, frame, kDialogFrame, scale));
    }
  }
}

TEST(DialogLayout, MirroredDialogScalesLikeItsUnmirroredTwin) {
  const FrameSize frame = MeasureFrame(kWindow, kClient);
  const LayoutScale scale = {120, 110};
  // Each control by its client offset and size; the unmirrored twin has it
  // that far from the client's left edge, the mirrored one from the right.
  struct Place {
    int32_t offset, top, width, height;
  };
  for (const Place p : {Place{10, 20, 80, 30}, {0, 0, 500, 400}, {300, 5, 199, 1}}) {
    const LayoutRect plain = {103 + p.offset, 125 + p.top, 103 + p.offset + p.width,
                              125 + p.top + p.height};
    const LayoutRect mirrored = {603 - p.offset - p.width, plain.top, 603 - p.offset, plain.bottom};
    const ControlPlacement twin = PlaceControl(plain, kWindow, frame, kDialogFrame, scale);
    const ControlPlacement got =
        PlaceControl(MapToClient(mirrored, 103, 125, 500, true),
                     MapToClient(kWindow, 103, 125, 500, true), frame, kDialogFrame, scale);
    EXPECT_TRUE(got == twin) << p.offset;
    // Measured in screen coordinates, the mirrored control would have been
    // placed by its distance from the window's left edge instead.
    if (2 * p.offset + p.width != 500) {
      EXPECT_FALSE(PlaceControl(mirrored, kWindow, frame, kDialogFrame, scale) == twin);
    }
  }
}
