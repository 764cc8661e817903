// A catalog file as the launcher reads it, with every line traced back to
// its place in the file. The launcher's own loader builds the catalog; the
// rest of the file (what lies beyond the loader's limits) is split the same
// way, so that what the loader drops can be named line by line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace lngtool {

// One line as the loader splits lines (every CR, LF and form feed ends one).
struct BodyLine {
  uint32_t fileLine = 0;  // 1-based, counted as an editor counts lines
  uint32_t column = 1;    // 1-based; other than 1 after a form feed or on the marker line
  std::u16string raw;     // as in the file, escapes unresolved
  std::u16string text;    // escapes resolved: what the launcher compares
  bool kept = false;      // wholly in the launcher's text
  bool cut = false;       // only its beginning is
  uint64_t offset = 0;    // where it begins in the launcher's text (kept or cut)
  bool indexed = false;   // its offset is in the launcher's sorted index
};

// What a line says as an entry. A line is entry-shaped when its first 8
// characters are hexadecimal digits of either case.
struct EntryShape {
  bool isEntry = false;
  std::u16string key;                        // the first 8 characters as written
  bool lowerCase = true;                     // the key has no upper-case digit
  bool hasSeparator = false;                 // characters 9 and 10 are '=' and '"'
  std::u16string intended;                   // the value up to its last unescaped quote, resolved
  bool closed = false;                       // that closing quote exists
  bool escapedQuoteCloses = false;           // the launcher's last quote is an escaped one
  bool textAfterQuote = false;               // more than blanks after the closing quote
  std::vector<uint32_t> literalBackslashes;  // columns (1-based) of backslashes kept as they are
};

EntryShape ReadEntryShape(const BodyLine& line);

class CatalogFile {
 public:
  explicit CatalogFile(const AnsiCodec& codec) : catalog(codec), codec_(codec) {}
  ~CatalogFile() = default;
  CatalogFile(const CatalogFile&) = delete;
  CatalogFile& operator=(const CatalogFile&) = delete;
  CatalogFile(CatalogFile&&) = delete;
  CatalogFile& operator=(CatalogFile&&) = delete;

  // Loads the bytes with the launcher's loader and traces its lines. False
  // when the launcher finds no marker (the catalog stays empty).
  bool Load(const std::vector<uint8_t>& bytes);

  // The line that begins at offset of the launcher's text, or -1.
  int64_t LineAt(int64_t offset) const;
  // The line the launcher takes for key (sorted index first, then the scan
  // over every line), or -1.
  int64_t ChosenLine(const std::u16string& key) const;

  MessageCatalog catalog;
  bool markerFound = false;
  int64_t markerPosition = 0;  // byte offset in the file
  CatalogForm form = CatalogForm::kAnsi;
  uint64_t fileBytes = 0;
  uint64_t bodyBytes = 0;  // from the marker to the end of the file
  bool hasNul = false;     // a NUL ends the launcher's text early
  uint32_t nulLine = 0;
  std::vector<BodyLine> lines;  // lines[0] is the marker line
  std::vector<std::u16string>
      header;  // the lines before the marker's line, byte-order mark dropped

  // A marker the launcher's search does not reach (past its chunk limit, or in
  // the UTF-16 search's blind spot): its byte offset and form, else -1.
  int64_t unreachedMarker = -1;
  CatalogForm unreachedForm = CatalogForm::kAnsi;
  // An 8-bit file whose bytes beyond ASCII are all UTF-8 sequences.
  bool looksLikeUtf8 = false;
  // The file begins with the byte-order mark of UTF-16 big-endian.
  bool bigEndian = false;
  // Where the marker is misspelt only in letter case, or -1.
  int64_t markerInOtherCase = -1;

 private:
  void TraceLines(const std::u16string& body, uint32_t firstLine, uint32_t firstColumn);
  void MatchLauncherText();
  void LookForMissedMarker(const std::vector<uint8_t>& bytes);

  const AnsiCodec& codec_;
  std::vector<uint64_t> offsets_;  // of lines[0..], as far as the launcher holds them
};

// The forms a catalog may have been saved in, as an editor saves them.
enum class SavedForm : uint8_t { kUtf16Le, kUtf16Be, kUtf8, kCodePage };
// "UTF-16 LE", "UTF-16 BE", "UTF-8", "the code page".
const char* SavedFormName(SavedForm form);

// The file's text in whatever form it was saved: UTF-16 of either byte
// order, UTF-8 with or without a byte-order mark, else the code page.
std::u16string DecodeAnyForm(const std::vector<uint8_t>& bytes, const AnsiCodec& codec,
                             SavedForm* form);

// The first 8 characters are a key's digits (either case).
bool LooksLikeKey(const std::u16string& text);
std::u16string LowerKey(const std::u16string& key);

}  // namespace lngtool
