// Whether a text counts as translated in a catalog: one answer for export,
// import, merge and check (its coverage line, --untranslated and
// --statistics), so that they agree with each other and with msgfmt on the
// exported file.
//
// An entry still at its English text is untranslated, unless the translator
// kept it so on purpose: such keys are listed in the catalog's header (which
// the launcher never reads), so that a fresh template still counts as
// untranslated while "OK" or a product name kept by a translator stays done.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_file.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

enum class TranslationState : uint8_t { kUntranslated, kFuzzy, kTranslated };

// The header lines that list the deliberately identical keys:
// "; Kept as in English: 1a2b3c4d 5e6f7a8b ...".
extern const char16_t kIdenticalPrefix[];

// The keys those header lines list (lower-case, as written).
std::set<std::u16string> IdenticalKeys(const std::vector<std::u16string>& header);

// header without its identical-key lines, then those lines for keys (none
// when keys is empty).
std::vector<std::u16string> WithIdenticalKeys(const std::vector<std::u16string>& header,
                                              const std::set<std::u16string>& keys);

// How text stands in file. Untranslated: no entry the launcher uses, or one
// at the English text (DefaultValue) that is not listed as kept on purpose
// (keepIdentical counts every such entry as kept). Fuzzy: at the English text
// with a suggestion from merge waiting above it. Translated: anything else.
TranslationState StateOf(const CatalogFile& file, const ProgramText& text,
                         bool keepIdentical = false);

struct TranslationTally {
  uint32_t translated = 0;
  uint32_t fuzzy = 0;
  uint32_t untranslated = 0;
};

// Over the texts of distinct keys (one message each, as export writes them).
TranslationTally CountTranslations(const CatalogFile& file, const std::vector<ProgramText>& texts,
                                   bool keepIdentical = false);

}  // namespace lngtool
