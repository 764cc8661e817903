// The checks of "lngtool check": everything that makes the launcher read a
// catalog otherwise than its translator meant, with the line it concerns.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_file.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

enum class Severity : uint8_t { kError, kWarning, kNote };

// What each finding is about, so that tests and scripts need not read prose.
enum class Finding : uint8_t {
  kMarker,  // where the marker is, in which form (note)
  kNoMarker,
  kMarkerUnreached,  // a marker the launcher's search never reaches
  kMarkerCase,       // a marker in other letter case
  kEncoding,         // an 8-bit file that holds UTF-8, UTF-16 big-endian
  kEntryOnMarkerLine,
  kBodyCut,    // the read or character limit drops lines
  kNulEnds,    // a NUL character ends the text
  kEntryLost,  // one entry dropped by a limit or a NUL
  kUpperCaseKey,
  kNoSeparator,  // the key is not followed by '="'
  kIndented,     // blanks before a key
  kKeyLength,    // a key of other than 8 digits
  kNoClosingQuote,
  kEscapedQuoteCloses,
  kTextAfterQuote,
  kLiteralEscape,
  kUnreachable,
  kDuplicateKey,
  kUnknownKey,
  kValueCut,  // the launcher shows less than the value
  kBadScale,
  kBadDirection,
  kImageNameChanged,
  kLinkMarkupLost,
  kInstallerNameChanged,
  kInstallerNameRefused,     // not a plain file name: the launcher uses its built-in one
  kInstallerNameBesideOnly,  // a translated name counts only in a catalog beside the launcher
  kLinkTargetRefused,        // a link or first-use page that is no web address

  kInfoTextCut,
  kNoModule,
  kCoverage,
};

struct CheckFinding {
  Severity severity;
  Finding what;
  uint32_t line;  // 0: the whole file
  std::string message;
};

struct CheckReport {
  std::vector<CheckFinding> findings;
  uint32_t total = 0;       // texts to translate
  uint32_t translated = 0;  // an entry the launcher uses, differing from the English text
  uint32_t same = 0;        // an entry equal to the English text
  uint32_t missing = 0;

  bool HasErrors() const;
  size_t Count(Finding what) const;
  // "file:line: error: message" lines, the file's own findings first.
  std::string Format(const std::string& fileName) const;
};

// texts: the program's texts (null when no module could be read: the keys are
// then not compared with any). codePage names the code page in messages.
CheckReport CheckCatalog(const CatalogFile& file, const std::vector<ProgramText>* texts,
                         const AnsiCodec& codec, uint32_t codePage);

}  // namespace lngtool
