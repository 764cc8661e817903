#include "launcher/logo_scale.h"

#include "base/bounded_text.h"

namespace {
// Beyond this a display is not plausible, and the sizes could overflow.
constexpr int32_t kMaxDpi = 96 * 16;
constexpr int32_t kMaxLength = 4096;

int32_t IndexFor(int32_t dpi, const bool present[kLogoScaleCount]) {
  int32_t largest = -1;
  for (size_t i = 0; i < kLogoScaleCount; ++i) {
    if (!present[i]) continue;
    largest = static_cast<int32_t>(i);
    if (kLogoScales[i] * kPlainDpi >= dpi * 100) return largest;
  }
  return largest;
}
}  // namespace

int32_t ScaleToDpi(int32_t length, int32_t dpi) {
  const int64_t scaled = static_cast<int64_t>(length) * dpi;
  return static_cast<int32_t>((scaled + kPlainDpi / 2) / kPlainDpi);
}

bool ChooseLogo(int32_t dpi, int32_t width, int32_t height, const bool present[kLogoScaleCount],
                LogoChoice* choice) {
  if (dpi <= 0 || dpi == kPlainDpi || dpi > kMaxDpi) return false;
  if (width <= 0 || height <= 0 || width > kMaxLength || height > kMaxLength) return false;
  choice->width = ScaleToDpi(width, dpi);
  choice->height = ScaleToDpi(height, dpi);
  // Below 100 % the dialog's own bitmap is the next larger one.
  const int32_t index = dpi < kPlainDpi ? -1 : IndexFor(dpi, present);
  choice->percent = index < 0 ? 0 : kLogoScales[index];
  choice->exact = index >= 0 && choice->percent * kPlainDpi == dpi * 100;
  return true;
}

void LogoVariantName(const char16_t* name, int32_t percent, char16_t* out, size_t cap) {
  FormatBounded(out, cap, u"%s_%d", name, static_cast<int>(percent));
}
