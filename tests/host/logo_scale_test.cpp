#include "launcher/logo_scale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr bool kAll[kLogoScaleCount] = {true, true, true, true, true, true};
constexpr bool kNone[kLogoScaleCount] = {};
constexpr bool kOnly200[kLogoScaleCount] = {false, false, false, true, false, false};

TEST(LogoScale, PicksTheVariantForEachDpi) {
  const struct {
    int32_t dpi;
    const bool* present;
    int32_t percent;
    bool exact;
    int32_t width, height;
  } cases[] = {
      {120, kAll, 125, true, 368, 59},      {144, kAll, 150, true, 441, 71},
      {168, kAll, 175, true, 515, 82},      {192, kAll, 200, true, 588, 94},
      {240, kAll, 250, true, 735, 118},     {288, kAll, 300, true, 882, 141},
      {110, kAll, 125, false, 337, 54},     {130, kAll, 150, false, 398, 64},
      {200, kAll, 250, false, 613, 98},     {336, kAll, 300, false, 1029, 165},
      {72, kAll, 0, false, 221, 35},        {144, kNone, 0, false, 441, 71},
      {144, kOnly200, 200, false, 441, 71}, {240, kOnly200, 200, false, 735, 118},
  };
  for (const auto& c : cases) {
    LogoChoice choice{};
    ASSERT_TRUE(ChooseLogo(c.dpi, 294, 47, c.present, &choice)) << c.dpi;
    EXPECT_EQ(choice.percent, c.percent) << c.dpi;
    EXPECT_EQ(choice.exact, c.exact) << c.dpi;
    EXPECT_EQ(choice.width, c.width) << c.dpi;
    EXPECT_EQ(choice.height, c.height) << c.dpi;
  }
}

TEST(LogoScale, LeavesThePlainDisplayAndNonsenseAlone) {
  const struct {
    int32_t dpi, width, height;
  } cases[] = {{96, 294, 47}, {0, 294, 47},   {-96, 294, 47},    {100000, 294, 47},
               {144, 0, 47},  {144, 294, -1}, {144, 1 << 20, 47}};
  for (const auto& c : cases) {
    LogoChoice choice{};
    EXPECT_FALSE(ChooseLogo(c.dpi, c.width, c.height, kAll, &choice)) << c.dpi << " " << c.width;
  }
}

TEST(LogoScale, NamesVariantsAndCutsThem) {
  char16_t name[16];
  LogoVariantName(u"LOGOSMALL", 175, name, 16);
  EXPECT_EQ(std::u16string(name), u"LOGOSMALL_175");
  LogoVariantName(u"LOGOSMALL", 175, name, 6);
  EXPECT_EQ(std::u16string(name), u"LOGOS");
}

}  // namespace
