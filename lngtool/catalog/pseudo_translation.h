// Pseudo-translation: a catalog whose every shown text is the English one
// with look-alike accented letters (or letters of a right-to-left script),
// lengthened as real translations grow and bracketed, so that a cut end or
// an untranslated text shows at a glance in the running dialogs.
#pragma once
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

struct PseudoOptions {
  int expandPercent = -1;  // -1: short texts grow most (100 %, 50 %, 30 %)
  bool rightToLeft = false;
};

// The pseudo-translation of one text. Link markup (<a ...> and </a>) and
// control characters stay as they are; capacity bounds the result, the
// terminator included.
std::u16string PseudoText(const std::u16string& text, const PseudoOptions& options,
                          size_t capacity);

// A catalog entry for every text: translatable texts pseudo-translated, while
// the installer's file name, image names, web addresses, the scale entries
// (100*100) and the direction entry (LTR, or RTL) keep what the launcher needs.
std::vector<CatalogEntry> PseudoEntries(const std::vector<ProgramText>& texts,
                                        const PseudoOptions& options);

}  // namespace lngtool
