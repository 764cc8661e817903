// What the layout check makes of a dialog's measurements: texts that need
// more room than their control offers, controls that overlap although they do
// not in the English dialog, and controls beyond the client area. Free of
// windows, so that the rules are tested on the host.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "localization/dialog_layout.h"

namespace lngtool {

struct Extent {
  int32_t cx = 0;
  int32_t cy = 0;
};

// One control as shown: its place in the dialog's client area and, for a
// control whose text is measured, what the text needs and what it is given.
struct ControlLayout {
  int32_t id = -1;
  std::string className;
  std::u16string source;  // the template's text, the key's source; may be empty
  std::u16string shown;   // the text as shown
  LayoutRect place = {};
  bool measured = false;
  Extent needs;
  Extent has;
  bool wraps = false;      // the control breaks its text into lines
  int32_t lineHeight = 0;  // of the control's font, for a text that wraps
  std::u16string unshown;  // characters no font of the control shows, each once
};

struct DialogLayout {
  std::string name;
  Extent client;
  std::vector<ControlLayout> controls;  // in template order
  ControlLayout title;                  // the caption's text, not placed
};

// The control index of a finding on the dialog's title.
constexpr size_t kTitleFinding = static_cast<size_t>(-1);

// kMissingGlyph: characters that no font of the control (with the system's
// font linking) shows; no scale entry mends it.
enum class FindingKind { kCut, kOverlap, kOutside, kMissingGlyph };

struct LayoutFinding {
  FindingKind kind = FindingKind::kCut;
  size_t control = 0;  // index into the dialog's controls
  size_t other = 0;    // the second control of an overlap
  std::string what;    // the finding in words, without place
  bool wider = false;  // what a scale entry must grow to remove it
  bool taller = false;
};

// The characters that no font shows in a catalog's texts, gathered over
// every text of both dialogs: told once a catalog rather than once a text
// and display scale, since no scale changes them.
struct MissingGlyphs {
  std::u16string characters;  // each once, in the order first met
  size_t texts = 0;           // the texts they occur in
  void Add(const std::u16string& unshown);
};

// The locale a catalog is best checked in, as tools/lngtool-layout --locale
// takes it: the catalog's language tag when it names a region, else the
// language with its usual region, else one guessed from the script of
// characters; empty when there is no telling.
std::string SuggestedLocale(const std::string& languageTag, const std::u16string& characters);

// "missing-glyph: no font shows 2 characters, in 3 texts: U+4E2D, U+6587
// "中文"; ..." with what to do: check in the suggested locale, or, already
// in it (sessionLocale), install a font.
std::string MissingGlyphsText(const MissingGlyphs& glyphs, const std::string& suggested,
                              const std::string& sessionLocale);

// Whether a larger scale entry can remove the finding.
bool Growable(const LayoutFinding& finding);

// Whether the findings need a wider dialog, a taller one, or both.
void NeededGrowth(const std::vector<LayoutFinding>& findings, bool* wider, bool* taller);

bool Intersects(const LayoutRect& a, const LayoutRect& b);

// english: the same dialog without a catalog, whose controls match shown's
// one by one; overlaps found there are the design's, not the translation's.
std::vector<LayoutFinding> FindLayoutProblems(const DialogLayout& english,
                                              const DialogLayout& shown);

// A red frame two pixels wide just around box, on an image of 8-bit RGB
// triples, row by row; what lies beyond the image is left out.
void OutlineBox(std::vector<uint8_t>* rgb, uint32_t width, uint32_t height, const LayoutRect& box);

// "control 5101 (Button)"
std::string ControlName(const ControlLayout& control);

}  // namespace lngtool
