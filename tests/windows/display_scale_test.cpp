// The logos and the icon at display scales, on dialogs made from small
// templates that show the program's own bitmaps.
#include <gtest/gtest.h>

#include "base/scoped_win.h"
#include "launcher/display_scale_win.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Size {
  LONG width, height;
  bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

Size SizeOf(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

class DisplayScale : public ::testing::Test {
 protected:
  void Open(const wchar_t* templateName) {
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), templateName, nullptr, Quiet, 0);
    ASSERT_NE(dialog_, nullptr);
    control_ = GetWindow(dialog_, GW_CHILD);
    while (control_ != nullptr &&
           (GetWindowLongW(control_, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) {
      control_ = GetWindow(control_, GW_HWNDNEXT);
    }
    ASSERT_NE(control_, nullptr);
    own_ = Image();
  }
  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }
  HBITMAP Image() const {
    return reinterpret_cast<HBITMAP>(SendMessageW(control_, STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  Size ControlSize() const {
    RECT r{};
    GetWindowRect(control_, &r);
    return {r.right - r.left, r.bottom - r.top};
  }

  HWND dialog_ = nullptr;
  HWND control_ = nullptr;
  HBITMAP own_ = nullptr;
};

TEST_F(DisplayScale, EachScaleShowsItsSizeAndGivesTheControlsOwnBitmapBack) {
  const struct {
    const wchar_t* dialog;
    const wchar_t* logo;
    UINT dpi;
    Size shown;
  } cases[] = {
      {L"SHOWLOGO", L"LOGO", 120, {368, 59}},    // drawn at 125 %
      {L"SHOWLOGO", L"LOGO", 144, {441, 71}},    // 150 %
      {L"SHOWLOGO", L"LOGO", 192, {588, 94}},    // 200 %
      {L"SHOWLOGO", L"LOGO", 288, {882, 141}},   // 300 %
      {L"SHOWLOGO", L"LOGO", 130, {398, 64}},    // 150 % scaled down
      {L"SHOWLOGO", L"LOGO", 336, {1029, 165}},  // 300 % scaled up
      {L"SHOWLOGO", L"LOGO", 72, {221, 35}},     // the plain logo scaled down
      {L"SHOWSMALL", L"LOGOSMALL", 168, {112, 112}}, {L"SHOWSMALL", L"LOGOSMALL", 240, {160, 160}},
      {L"SHOWBARE", L"BARE", 144, {96, 96}},  // no drawings: its own, scaled
  };
  for (const auto& c : cases) {
    Open(c.dialog);
    {
      ScaledLogo logo;
      logo.Show(dialog_, GetModuleHandleW(nullptr), c.logo, c.dpi);
      EXPECT_EQ(logo.Control(), control_) << c.dpi;
      EXPECT_NE(Image(), own_) << c.dpi;
      EXPECT_TRUE(SizeOf(Image()) == c.shown) << c.logo << " at " << c.dpi;
      EXPECT_TRUE(ControlSize() == c.shown) << c.logo << " at " << c.dpi;
    }
    EXPECT_EQ(Image(), own_) << c.dpi;
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

TEST_F(DisplayScale, At96DpiTheTemplatesBitmapStays) {
  Open(L"SHOWLOGO");
  const Size before = ControlSize();
  ScaledLogo logo;
  logo.Show(dialog_, GetModuleHandleW(nullptr), L"LOGO", 96);
  EXPECT_EQ(logo.Control(), nullptr);
  EXPECT_EQ(Image(), own_);
  EXPECT_TRUE(SizeOf(own_) == (Size{294, 47}));
  EXPECT_TRUE(ControlSize() == before);
}

// The drawings are run-length encoded: decoded, the dialog's face shows round
// the shield and the shield where it stands, at each scale.
TEST_F(DisplayScale, DrawingsDecodeToTheLogo) {
  Open(L"SHOWLOGO");
  for (UINT dpi : {120u, 144u, 168u, 192u, 240u, 288u}) {
    ScaledLogo logo;
    logo.Show(dialog_, GetModuleHandleW(nullptr), L"LOGO", dpi);
    const ScopedGetDc screen(nullptr);
    const ScopedMemoryDc dc(screen.Get());
    const ScopedSelectObject selected(dc.Get(), Image());
    const int s = static_cast<int>(dpi);
    EXPECT_EQ(GetPixel(dc.Get(), 1, 1), RGB(240, 240, 240)) << dpi;
    EXPECT_EQ(GetPixel(dc.Get(), 290 * s / 96, 44 * s / 96), RGB(240, 240, 240)) << dpi;
    const COLORREF shield = GetPixel(dc.Get(), 12 * s / 96, 12 * s / 96);
    EXPECT_LT(GetRValue(shield), GetGValue(shield)) << dpi;  // green, not grey
  }
}

TEST(DisplayIcon, LoadsAtTheSystemsIconSize) {
  HICON icon = LoadIconAtScale(GetModuleHandleW(nullptr), L"ZTKICON");
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  const ScopedGdiObject<HBITMAP> colour(info.hbmColor);
  const ScopedGdiObject<HBITMAP> mask(info.hbmMask);
  EXPECT_EQ(SizeOf(info.hbmColor).width, GetSystemMetrics(SM_CXICON));
  DestroyIcon(icon);
  EXPECT_EQ(LoadIconAtScale(GetModuleHandleW(nullptr), L"NOSUCHICON"), nullptr);
}

TEST(DisplayDpiTest, IsTheScreens) {
  const ScopedGetDc screen(nullptr);
  EXPECT_EQ(DisplayDpi(nullptr), static_cast<UINT>(GetDeviceCaps(screen.Get(), LOGPIXELSX)));
}

}  // namespace
