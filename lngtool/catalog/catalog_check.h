// The checks of "lngtool check": everything that makes the launcher read a
// catalog otherwise than its translator meant, with the line it concerns.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/translator_checks.h"
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
  kLinkMarkupLost,    // fewer links than the English
  kLinkMarkupBroken,  // markup the link control cannot read
  kInstallerNameChanged,
  kInstallerNameRefused,     // not a plain file name: the launcher uses its built-in one
  kInstallerNameBesideOnly,  // a translated name counts only in a catalog beside the launcher
  kLinkTargetRefused,        // a link or first-use page that is no web address

  kInfoTextCut,
  kNoModule,
  kCoverage,
  kUnknownCheck,  // the header turns off a check there is none of

  // The translators' checks (translator_checks.h), each with its name.
  kLineBreaks,
  kStartBlank,
  kEndBlank,
  kDoubleBlank,
  kEndPunctuation,
  kAccessKey,
  kSameAccessKey,
  kProductName,
  kLinkTargetChanged,
};

// The translators' check a finding comes from ("endpunc"), or null.
const char* CheckName(Finding what);

struct CheckFinding {
  Severity severity;
  Finding what;
  uint32_t line;  // 0: the whole file
  std::string message;
};

// Counted as export counts messages (one per key), so that the coverage
// line agrees with --untranslated, --statistics and msgfmt on the export.
struct CheckReport {
  std::vector<CheckFinding> findings;
  uint32_t total = 0;
  uint32_t translated = 0;
  uint32_t fuzzy = 0;
  uint32_t untranslated = 0;
  uint32_t missing = 0;  // of the untranslated: no entry the launcher uses

  bool HasErrors() const;
  size_t Count(Finding what) const;
  // "file:line: error: message" lines, the file's own findings first.
  std::string Format(const std::string& fileName) const;
};

// gettext's tally of the report's counts, as msgfmt --statistics prints it:
// "3 translated messages, 1 fuzzy translation, 2 untranslated messages.\n".
std::string StatisticsLine(const CheckReport& report);

// A catalog's header line turning translators' checks off for its language:
// "; No-Check: endpunc, names".
extern const char16_t kNoCheckPrefix[];

struct CheckOptions {
  std::set<std::string> skipped;  // translators' checks turned off
  std::vector<std::u16string> productNames = DefaultProductNames();
};

// texts: the program's texts (null when no module could be read: the keys are
// then not compared with any). codePage names the code page in messages.
CheckReport CheckCatalog(const CatalogFile& file, const std::vector<ProgramText>* texts,
                         const AnsiCodec& codec, uint32_t codePage,
                         const CheckOptions& options = CheckOptions());

}  // namespace lngtool
