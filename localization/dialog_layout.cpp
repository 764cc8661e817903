#include "localization/dialog_layout.h"

namespace {

int32_t ClampPosition(int64_t value) {
  if (value > kLayoutLimit) {
    return kLayoutLimit;
  }
  if (value < -int64_t{kLayoutLimit}) {
    return -kLayoutLimit;
  }
  return static_cast<int32_t>(value);
}

int32_t ClampSize(int64_t value) { return value < 0 ? 0 : ClampPosition(value); }

// value * percent / 100, truncated toward zero, for any |value| < 2^34: split
// as value = 100q + r (r taking value's sign), neither q * percent nor
// r * percent can overflow, and both parts round the same way.
int64_t Percent(int64_t value, int32_t percent) {
  return value / 100 * percent + value % 100 * percent / 100;
}

int64_t Extent(int32_t low, int32_t high) { return int64_t{high} - low + 1; }

}  // namespace

FrameSize MeasureFrame(const LayoutRect& window, const LayoutRect& client) {
  const int64_t fw = Extent(window.left, window.right) - client.right;
  const int64_t fh = Extent(window.top, window.bottom) - client.bottom;
  return {ClampPosition(fw), ClampPosition(fh)};
}

DialogPlacement PlaceDialog(const LayoutRect& window, const LayoutRect& client, LayoutScale scale,
                            bool centered) {
  const FrameSize frame = MeasureFrame(window, client);
  const int64_t nw = Percent(client.right, scale.x) + frame.fw;
  const int64_t nh = Percent(client.bottom, scale.y) + frame.fh;
  const int64_t x = window.left + (Extent(window.left, window.right) - nw) / 2;
  const int64_t y = window.top + (Extent(window.top, window.bottom) - nh) / 2;
  DialogPlacement placement{};
  placement.x = x < 0 ? 0 : ClampPosition(x);
  placement.y = y < 0 ? 0 : ClampPosition(y);
  placement.width = ClampSize(nw);
  placement.height = ClampSize(nh);
  placement.flags = centered ? kMoveAndSize : kSizeOnly;
  return placement;
}

ControlPlacement PlaceControl(const LayoutRect& control, const LayoutRect& window, FrameSize frame,
                              int32_t dialogFrame, LayoutScale scale) {
  const int64_t offsetX = int64_t{control.left} - frame.fw / 2 - window.left;
  const int64_t offsetY = int64_t{control.top} - (int64_t{frame.fh} - dialogFrame) - window.top;
  ControlPlacement placement{};
  placement.left = ClampPosition(Percent(offsetX, scale.x));
  placement.top = ClampPosition(Percent(offsetY, scale.y));
  placement.width = ClampSize(Percent(Extent(control.left, control.right), scale.x));
  placement.height = ClampSize(Percent(Extent(control.top, control.bottom), scale.y));
  return placement;
}

void AddDroppedHeight(ControlPlacement* placement, const LayoutRect& dropped, LayoutScale scale) {
  const int64_t list = Percent(Extent(dropped.top, dropped.bottom), scale.y);
  placement->height = ClampSize(int64_t{placement->height} + list);
}
