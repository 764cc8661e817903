// Which of the logos drawn at fixed display scales serves a display of a
// given DPI, and at what size it is shown. Portable arithmetic; the Win32
// side is launcher/display_scale_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

// The scales, in percent, at which tools/make-images.py draws each logo
// beside its own 100 % image; a variant is named like "LOGO_150".
constexpr int32_t kLogoScales[] = {125, 150, 175, 200, 250, 300};
constexpr size_t kLogoScaleCount = sizeof(kLogoScales) / sizeof(kLogoScales[0]);
constexpr int32_t kPlainDpi = 96;

struct LogoChoice {
  int32_t percent;  // the variant to load; 0: the dialog's own bitmap
  bool exact;       // shown as drawn; otherwise scaled smoothly to the size
  int32_t width;    // the size to show
  int32_t height;
};

// A length at dpi, rounded half away from zero like MulDiv.
int32_t ScaleToDpi(int32_t length, int32_t dpi);

// present[i] tells whether the variant at kLogoScales[i] exists. The exact
// variant when there is one, else the next larger one (scaled down), else the
// largest (scaled up), else the dialog's own bitmap scaled. False when there
// is nothing to do: at 96 DPI (or an unusable DPI or size) the dialog keeps
// the bitmap its template gave.
bool ChooseLogo(int32_t dpi, int32_t width, int32_t height, const bool present[kLogoScaleCount],
                LogoChoice* choice);

// "LOGO" and 150 give "LOGO_150"; cut to cap code units.
void LogoVariantName(const char16_t* name, int32_t percent, char16_t* out, size_t cap);
