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

constexpr int32_t kFitStep = 1;  // percent
constexpr int32_t kFitMost = 200;

// The scales a fit tries, in order. A dimension the findings do not need
// grown keeps the catalog's value; one they do runs from 100 (or the
// catalog's value, when smaller) to 200 (or its value, when larger) in steps
// of 1. The smallest area comes first and, of equal areas, the wider one: a
// text cut in width is mended in width rather than by a taller dialog. Empty
// when nothing needs growing.
std::vector<ScalePercent> FitCandidates(ScalePercent current, bool wider, bool taller);

// What one display scale's session tells about a dialog for the fit: what
// its findings need grown and, once every session's needs are known, which
// of FitCandidates(current, any wider, any taller) leave it clean there.
struct FitData {
  bool wider = false;
  bool taller = false;
  std::string clean;  // '1' or '0' for each candidate
};

// One line a dialog: "LAUNCHDLG 0 1 0011...". Parsing fails on anything else.
std::string FormatFitData(const std::map<std::string, FitData>& dialogs);
bool ParseFitData(const std::string& text, std::map<std::string, FitData>* dialogs);

// What any of the scales needs grown.
void AnyGrowth(const std::vector<FitData>& atEach, bool* wider, bool* taller);

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
