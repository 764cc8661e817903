// The scale entry that makes a dialog fit: the search over the candidates,
// and the rewrite of that one entry in a catalog file, byte for byte
// everywhere else.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
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

// The candidates that grow only what the findings need: the other dimension
// stays at the catalog's current value (the full grid when both are needed).
std::vector<ScalePercent> FitCandidates(ScalePercent current, bool wider, bool taller);

// Every scale any FitCandidates(current, ...) can give, in a fixed order, so
// that sessions at other display scales can tell which of them are clean as
// one string of '1' and '0'.
std::vector<ScalePercent> FitGrid(ScalePercent current);

// The first candidate that clean accepts; false when none does.
bool FindFit(const std::vector<ScalePercent>& candidates,
             const std::function<bool(ScalePercent)>& clean, ScalePercent* fit);

// What one display scale's session tells about a dialog for the fit: what
// its findings need grown, and which scales of FitGrid leave it clean there.
struct FitData {
  bool wider = false;
  bool taller = false;
  std::string clean;  // '1' or '0' for each scale of the grid
};

// One line a dialog: "LAUNCHDLG 0 1 0011...". Parsing fails on anything else.
std::string FormatFitData(const std::map<std::string, FitData>& dialogs);
bool ParseFitData(const std::string& text, std::map<std::string, FitData>* dialogs);

// The candidates, in order, that grow what any scale's findings need and are
// clean at every scale.
std::vector<ScalePercent> CleanEverywhere(ScalePercent current, const std::vector<FitData>& atEach);

// "96,120,144": display scales from 48 to 480 DPI, each once.
bool ParseDpiList(const std::string& text, std::vector<int>* dpis);

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
