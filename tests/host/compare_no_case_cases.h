// CompareNoCase's cases, shared by the native and the Windows test: both
// builds must fold case alike for the texts the launcher compares.
#pragma once

struct CompareNoCaseCase {
  const char16_t* a;
  const char16_t* b;
  int result;
};

inline constexpr CompareNoCaseCase kCompareNoCaseCases[] = {
    {u"Button", u"BUTTON", 0}, {u"abc", u"abd", -1},        {u"abd", u"ABC", 1},
    {u"ab", u"abc", -1},       {u"\u00C4x", u"\u00E4X", 0}, {u"", u"", 0},
    {u"\u00FF", u"\u0178", 0},
};
