// The arithmetic of rescaling a dialog and its controls by the catalog's
// percentages, free of windows: rectangles and percentages in, positions and
// sizes out, ready for SetWindowPos.
//
// Every step is done exactly in 64 bits (truncating toward zero, as the 32-bit
// C arithmetic it replaces did whenever that did not overflow), then clamped
// to the range below, so that absurd percentages from a catalog can neither
// wrap around nor hand the window manager a position whose right or bottom
// edge overflows. Sizes are never negative.
#pragma once
#include <cstdint>

// 2^27 - 1: the coordinate range the graphics layer can address; within it,
// position + size still fits a 32-bit int.
constexpr int32_t kLayoutLimit = (1 << 27) - 1;

// SWP_NOZORDER | SWP_NOOWNERZORDER, and the same with SWP_NOMOVE.
constexpr uint32_t kMoveAndSize = 0x0204;
constexpr uint32_t kSizeOnly = 0x0206;

// A window rectangle: right and bottom lie one past the last pixel.
struct LayoutRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// Horizontal and vertical percentages; 120*110 in the catalog is {120, 110}.
struct LayoutScale {
  int32_t x;
  int32_t y;
};

// The frame's width and height, each one more than the true one, measured
// once before the dialog is resized and used for every control after it.
struct FrameSize {
  int32_t fw;
  int32_t fh;
};

struct DialogPlacement {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint32_t flags;  // kMoveAndSize or kSizeOnly
};

struct ControlPlacement {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// window: the dialog's window rectangle; client: its client rectangle (left
// and top 0).
FrameSize MeasureFrame(const LayoutRect& window, const LayoutRect& client);

// The dialog's new size, and its new top-left corner keeping the centre (never
// left of or above 0); centered (DS_CENTER) moves it, otherwise only the size
// changes.
DialogPlacement PlaceDialog(const LayoutRect& window, const LayoutRect& client, LayoutScale scale,
                            bool centered);

// A control's new place relative to the dialog's client origin. control and
// window must be in one coordinate system: the formula only uses their
// difference, so screen coordinates and the dialog's own client coordinates
// give the same result for an unmirrored dialog, while client coordinates of
// a mirrored one measure from its right edge, as its children are placed.
// dialogFrame is the system's dialog-frame thickness (SM_CYDLGFRAME).
ControlPlacement PlaceControl(const LayoutRect& control, const LayoutRect& window, FrameSize frame,
                              int32_t dialogFrame, LayoutScale scale);

// A drop-down combo box is as tall as its closed part plus its list: adds the
// scaled height of the dropped-down rectangle.
void AddDroppedHeight(ControlPlacement* placement, const LayoutRect& dropped, LayoutScale scale);
