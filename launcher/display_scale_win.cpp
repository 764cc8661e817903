#include "launcher/display_scale_win.h"

#include <memory>
#include <new>

#include "base/call_by_name_win.h"
#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "launcher/logo_scale.h"
#include "module/resource_module.h"

namespace {
constexpr size_t kNameCapacity = 64;
constexpr wchar_t kLogoProperty[] = L"ZentakScaledLogo";

HWND FirstBitmapControl(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16];
    if (GetClassNameW(child, className, 16) == 0) continue;
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, className, -1, L"Static", -1) !=
        CSTR_EQUAL) {
      continue;
    }
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) return child;
  }
  return nullptr;
}

bool SizeOf(HBITMAP bitmap, LONG* width, LONG* height) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
  *width = info.bmWidth;
  *height = info.bmHeight;
  return true;
}

void VariantName(const wchar_t* name, int32_t percent, char16_t* out) {
  LogoVariantName(AsUtf16(name), percent, out, kNameCapacity);
}

// Variants only from the template's own module: a language module with its
// own logo has its own drawings of it, or none.
void FindVariants(HMODULE module, const wchar_t* name, bool present[kLogoScaleCount]) {
  for (size_t i = 0; i < kLogoScaleCount; ++i) {
    char16_t variant[kNameCapacity];
    VariantName(name, kLogoScales[i], variant);
    present[i] = FindResourceW(module, AsWide(variant), RT_BITMAP) != nullptr;
  }
}

// A copy of source at width x height, with the smooth filter.
HBITMAP Stretched(HBITMAP source, int width, int height) {
  LONG sw = 0;
  LONG sh = 0;
  if (!SizeOf(source, &sw, &sh)) return nullptr;
  const ScopedGetDc screen(nullptr);
  const ScopedMemoryDc from(screen.Get());
  const ScopedMemoryDc to(screen.Get());
  HBITMAP result = CreateCompatibleBitmap(screen.Get(), width, height);
  if (result == nullptr || from.Get() == nullptr || to.Get() == nullptr) {
    if (result != nullptr) DeleteObject(result);
    return nullptr;
  }
  {
    const ScopedSelectObject in(from.Get(), source);
    const ScopedSelectObject out(to.Get(), result);
    SetStretchBltMode(to.Get(), HALFTONE);
    SetBrushOrgEx(to.Get(), 0, 0, nullptr);  // HALFTONE asks for it after the mode
    if (!StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, sw, sh, SRCCOPY)) {
      DeleteObject(result);
      result = nullptr;
    }
  }
  return result;
}

HBITMAP LoadBitmapNamed(HMODULE module, const char16_t* name) {
  return static_cast<HBITMAP>(LoadImageW(module, AsWide(name), IMAGE_BITMAP, 0, 0, 0));
}

HBITMAP Draw(HMODULE module, const wchar_t* name, HBITMAP own, const LogoChoice& choice) {
  if (choice.percent == 0) return Stretched(own, choice.width, choice.height);
  char16_t variant[kNameCapacity];
  VariantName(name, choice.percent, variant);
  HBITMAP loaded = LoadBitmapNamed(module, variant);
  if (loaded == nullptr || choice.exact) return loaded;
  const ScopedGdiObject<HBITMAP> drawn(loaded);
  return Stretched(drawn.Get(), choice.width, choice.height);
}
}  // namespace

UINT DisplayDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  const auto dpiForWindow = CallByName<DpiForWindow>(L"user32", "GetDpiForWindow");
  if (dpiForWindow != nullptr) {
    const UINT dpi = dpiForWindow(window);
    if (dpi != 0) return dpi;
  }
  const ScopedGetDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kPlainDpi;
}

HICON LoadIconAtScale(HMODULE module, const wchar_t* name) {
  using MetricsForDpi = int(WINAPI*)(int, UINT);
  const auto metrics = CallByName<MetricsForDpi>(L"user32", "GetSystemMetricsForDpi");
  int width = 0;
  int height = 0;
  if (metrics != nullptr) {
    const UINT dpi = DisplayDpi(nullptr);
    width = metrics(SM_CXICON, dpi);
    height = metrics(SM_CYICON, dpi);
  }
  if (width <= 0 || height <= 0) {
    // A DPI-aware process before Windows 10 gets the system DPI's sizes here.
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
  }
  return static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, width, height, 0));
}

void ScaledLogo::Show(HWND dialog, HMODULE module, const wchar_t* name, UINT dpi) {
  Restore();
  const HWND control = FirstBitmapControl(dialog);
  if (control == nullptr) return;
  const auto own = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  LONG width = 0;
  LONG height = 0;
  if (!SizeOf(own, &width, &height)) return;
  bool present[kLogoScaleCount];
  FindVariants(module, name, present);
  LogoChoice choice{};
  if (!ChooseLogo(static_cast<int32_t>(dpi), width, height, present, &choice)) return;
  HBITMAP drawn = Draw(module, name, own, choice);
  if (drawn == nullptr) return;  // the template's bitmap stays
  control_ = control;
  shown_ = drawn;
  own_ = reinterpret_cast<HBITMAP>(
      SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(drawn)));
}

void ScaledLogo::Restore() {
  if (shown_ == nullptr) return;
  if (IsWindow(control_)) {
    // A control may hand back a copy of what it was given (one with alpha):
    // both are ours to free.
    const auto back = reinterpret_cast<HBITMAP>(
        SendMessageW(control_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(own_)));
    if (back != nullptr && back != shown_) DeleteObject(back);
  }
  DeleteObject(shown_);
  control_ = nullptr;
  own_ = nullptr;
  shown_ = nullptr;
}

void ShowLogoAtScale(HWND dialog, UINT message, const wchar_t* name) {
  if (message == WM_INITDIALOG) {
    if (GetPropW(dialog, kLogoProperty) != nullptr) return;  // shown already
    std::unique_ptr<ScaledLogo> logo(new (std::nothrow) ScaledLogo);
    if (logo == nullptr) return;
    logo->Show(dialog, static_cast<HMODULE>(ActiveModule), name, DisplayDpi(dialog));
    if (logo->Control() != nullptr && SetPropW(dialog, kLogoProperty, logo.get())) {
      static_cast<void>(logo.release());  // the property owns it until WM_DESTROY
    }
  } else if (message == WM_DESTROY) {
    const std::unique_ptr<ScaledLogo> logo(
        static_cast<ScaledLogo*>(RemovePropW(dialog, kLogoProperty)));
  }
}
