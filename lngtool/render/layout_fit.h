// The scale entry that makes a dialog fit: the search over the candidates,
// and the rewrite of that one entry in a catalog file, byte for byte
// everywhere else.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/code_page.h"

namespace lngtool {

struct ScalePercent {
  int32_t x = 100;
  int32_t y = 100;
};

constexpr int32_t kFitStep = 5;
constexpr int32_t kFitMost = 200;

// Every scale from 100*100 to 200*200 in steps of 5, the smallest area first
// (then the smaller sum, then the smaller width), so that the first clean one
// is the least growth and no candidate one step smaller in either direction
// comes after it.
std::vector<ScalePercent> FitCandidates();

// The first candidate that clean accepts; false when none does.
bool FindFit(const std::function<bool(ScalePercent)>& clean, ScalePercent* fit);

// "125*110"
std::u16string ScaleValue(ScalePercent scale);

// bytes with the scale entry of dialogName set to scale: the entry the
// launcher reads is rewritten after its key, or a new one is added at the
// end; every other byte is kept. Fails, with a message, when the file has no
// marker or the result would not give the launcher that scale.
bool SetScaleEntry(const std::vector<uint8_t>& bytes, const AnsiCodec& codec,
                   const std::u16string& dialogName, ScalePercent scale,
                   std::vector<uint8_t>* result, std::string* err);

}  // namespace lngtool
