// "lngtool merge": an old catalog brought up to the program's current texts.
// Every translation whose key the program still uses is kept (the line the
// launcher itself would use, when a key appears twice); texts new to the
// program get their English text; entries of texts that are gone are listed
// as obsolete and kept only as comments. A new text much like a gone one
// gets the gone one's translation as a suggestion marked fuzzy.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

struct ObsoleteEntry {
  uint32_t line = 0;
  std::u16string key;
  std::u16string value;
  std::u16string comment;  // the comment line right above it, if any, as written
  std::string reason;      // why it is not used
  std::u16string raw;      // the entry line as written, kept byte for byte
};

// The reason of an entry whose text the program no longer has.
extern const char kGoneReason[];

struct MergeResult {
  std::vector<std::u16string> header;
  std::vector<CatalogEntry> entries;
  std::vector<ObsoleteEntry> obsolete;
  uint32_t kept = 0;
  uint32_t added = 0;
  uint32_t fuzzy = 0;  // of the added, those with a suggestion
};

// Texts this similar (or more) share a suggestion, as msgmerge judges.
constexpr double kFuzzyThreshold = 0.6;

// 1 - edit distance / length of the longer: 1 for equal texts, 0 for texts
// with nothing in common.
double Similarity(const std::u16string& a, const std::u16string& b);

// The suggestion in the comment lines above lines[index] into *entry
// (previousSource, suggestion, fuzzy); false when there is none.
bool ReadSuggestion(const CatalogFile& file, size_t index, CatalogEntry* entry);

// What a comment line as CommentLine writes it names (escapes resolved);
// false when it names no text.
struct NamedText {
  LookupKind kind = kStringText;
  std::u16string context;  // empty: none
  std::u16string source;
};
bool ReadNamedText(const std::u16string& comment, NamedText* named);

// old may have found no marker: then every text is new. The keys its header
// lists as kept in English stay listed while their entries stay so.
// suggest: offer gone translations to like new texts (taking them from the
// obsolete entries).
MergeResult MergeCatalog(const CatalogFile& old, const std::vector<ProgramText>& texts,
                         const std::vector<std::u16string>& defaultHeader, bool suggest = true);

// The obsolete entries as comment lines ("#~ ..."), which no lookup matches,
// under this heading; the next merge keeps them (and gives a text that comes
// back its translation) until the translator deletes them.
extern const char16_t kObsoleteHeading[];
std::vector<std::u16string> ObsoleteLines(const std::vector<ObsoleteEntry>& obsolete);

}  // namespace lngtool
