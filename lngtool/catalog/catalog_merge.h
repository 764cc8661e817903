// "lngtool merge": an old catalog brought up to the program's current texts.
// Every translation whose key the program still uses is kept (the line the
// launcher itself would use, when a key appears twice); texts new to the
// program get their English text; entries of texts that are gone are listed
// as obsolete and kept only as comments.
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
  std::u16string comment;  // the comment line right above it, if any
  std::string reason;      // why it is not used
};

struct MergeResult {
  std::vector<std::u16string> header;
  std::vector<CatalogEntry> entries;
  std::vector<ObsoleteEntry> obsolete;
  uint32_t kept = 0;
  uint32_t added = 0;
};

// old may have found no marker: then every text is new.
MergeResult MergeCatalog(const CatalogFile& old, const std::vector<ProgramText>& texts,
                         const std::vector<std::u16string>& defaultHeader);

// The obsolete entries as comment lines ("#~ ..."), which no lookup matches.
std::vector<std::u16string> ObsoleteLines(const std::vector<ObsoleteEntry>& obsolete);

}  // namespace lngtool
