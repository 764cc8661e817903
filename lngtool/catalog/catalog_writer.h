// Writing a catalog: a header before the marker, then for every text a
// comment line naming it and its entry line, as the launcher's loader reads
// them back.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

enum class FileForm : uint8_t { kUtf16, kAnsi };

struct CatalogEntry {
  CatalogEntry() = default;
  CatalogEntry(ProgramText t, std::u16string v) : text(std::move(t)), value(std::move(v)) {}

  ProgramText text;
  std::u16string value;
  // A translation of a similar, older English text, offered for review: kept
  // in comments above the entry, which keeps its English value meanwhile.
  std::u16string previousSource;
  std::u16string suggestion;
  bool fuzzy = false;
};

// The comment lines of a suggestion: #| "older English" and #, fuzzy "its translation".
extern const char16_t kPreviousSourcePrefix[];
extern const char16_t kSuggestionPrefix[];

// The value a fresh catalog gives each text: the text itself, "100*100" for a
// scale entry, "LTR" for the direction.
std::u16string DefaultValue(const ProgramText& text);

// "# $ LAUNCHDLG "OK" (control 1, BUTTON)": kind, context, source, use.
std::u16string CommentLine(const ProgramText& text);
// key="escaped value"
std::u16string EntryLine(uint32_t key, const std::u16string& value);

// The marker line lngtool writes: the loader's marker and one asterisk more.
extern const std::u16string kMarkerLine;

// The catalog's text: header lines (none of which may hold the marker), the
// marker line, each entry with its comment, then the trailer lines. Lines end
// with CR LF.
std::u16string ComposeCatalog(const std::vector<std::u16string>& header,
                              const std::vector<CatalogEntry>& entries,
                              const std::vector<std::u16string>& trailer);

// UTF-16 little-endian with a byte-order mark, or the code page of codec;
// *lossy when a character has no form in that code page.
std::vector<uint8_t> EncodeCatalog(const std::u16string& text, FileForm form,
                                   const AnsiCodec& codec, bool* lossy);

// The header of a catalog made from the named module.
std::vector<std::u16string> TemplateHeader(const std::string& moduleName);

}  // namespace lngtool
