#include "lngtool/catalog/catalog_file.h"

#include <algorithm>
#include <set>

#include "base/byte_order.h"
#include "base/utf8.h"
#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

uint16_t UnitAt(const std::vector<uint8_t>& b, size_t at) {
  return ReadLittleEndian16(b.data() + at);
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// The marker's 13 characters at offset, compared without regard to case, in
// either form.
bool MarkerInAnyCase(const std::vector<uint8_t>& b, size_t at, size_t width) {
  if (at + kCatalogMarkerUnits * width > b.size()) {
    return false;
  }
  for (size_t i = 0; i < kCatalogMarkerUnits; ++i) {
    const char16_t c = width == 1 ? b[at + i] : UnitAt(b, at + 2 * i);
    if (Lower(c) != kCatalogMarker[i]) {
      return false;
    }
  }
  return true;
}

// At least one multi-byte UTF-8 sequence and nothing that is not UTF-8.
bool LooksLikeUtf8(const std::vector<uint8_t>& b) {
  size_t fault = 0;
  bool multiByte = false;
  for (const uint8_t byte : b) multiByte = multiByte || byte >= 0x80;
  return multiByte && IsValidUtf8(reinterpret_cast<const char*>(b.data()), b.size(), &fault);
}

bool BeginsBigEndian(const std::vector<uint8_t>& b) {
  return b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF;
}

// Editor lines before the marker, and the marker's column.
void CountHeaderLines(const std::vector<uint8_t>& b, size_t marker, CatalogForm form,
                      uint32_t* line, uint32_t* column) {
  const size_t width = form == CatalogForm::kUtf16 ? 2 : 1;
  *line = 1;
  *column = 1;
  for (size_t at = marker % width; at + width <= marker; at += width) {
    const uint16_t c = width == 1 ? b[at] : UnitAt(b, at);
    const bool crBeforeLf = c == 0x0D && at + 2 * width <= marker &&
                            (width == 1 ? b[at + 1] : UnitAt(b, at + 2)) == 0x0A;
    if (c == 0x0A || (c == 0x0D && !crBeforeLf)) {
      ++*line;
      *column = 1;
    } else if (!crBeforeLf) {
      ++*column;
    }
  }
}

// The lines before the marker's own line, in the marker's form.
std::vector<std::u16string> DecodeHeader(const std::vector<uint8_t>& b, size_t marker,
                                         CatalogForm form, const AnsiCodec& codec) {
  std::u16string text;
  if (form == CatalogForm::kUtf16) {
    for (size_t at = marker % 2; at + 2 <= marker; at += 2) {
      text.push_back(UnitAt(b, at));
    }
  } else {
    text = DecodeAnsi(codec, b.data(), marker);
  }
  if (!text.empty() && (text[0] == 0xFEFF || text[0] == 0x00EF)) {
    // A byte-order mark: UTF-16's, or UTF-8's read as three 8-bit characters.
    const size_t bom =
        text[0] == 0xFEFF ? 1 : (text.compare(0, 3, u"\u00ef\u00bb\u00bf") == 0 ? 3 : 0);
    text.erase(0, bom);
  }
  std::vector<std::u16string> lines;
  const size_t lastBreak = text.find_last_of(u"\r\n");
  if (lastBreak == std::u16string::npos) {
    return lines;
  }
  std::u16string line;
  for (size_t i = 0; i < lastBreak; ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      continue;
    }
    if (text[i] == u'\r' || text[i] == u'\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(text[i]);
    }
  }
  lines.push_back(line);
  return lines;
}

// Everything from the marker on, without the loader's limits; a NUL stays a
// NUL (the 8-bit pieces between zero bytes are decoded one by one).
std::u16string DecodeBody(const std::vector<uint8_t>& b, size_t marker, CatalogForm form,
                          const AnsiCodec& codec) {
  std::u16string body;
  if (form == CatalogForm::kUtf16) {
    for (size_t at = marker; at + 2 <= b.size(); at += 2) {
      body.push_back(UnitAt(b, at));
    }
    return body;
  }
  size_t start = marker;
  while (start <= b.size()) {
    size_t end = start;
    while (end < b.size() && b[end] != 0) {
      ++end;
    }
    body += DecodeAnsi(codec, b.data() + start, end - start);
    if (end == b.size()) {
      break;
    }
    body.push_back(0);
    start = end + 1;
  }
  return body;
}
}  // namespace

bool LooksLikeKey(const std::u16string& text) {
  if (text.size() < kKeyUnits) {
    return false;
  }
  for (size_t i = 0; i < kKeyUnits; ++i) {
    if (!IsHexDigit(text[i])) {
      return false;
    }
  }
  return true;
}

std::u16string LowerKey(const std::u16string& key) {
  std::u16string out = key;
  for (char16_t& c : out) {
    c = Lower(c);
  }
  return out;
}

namespace {
bool IsCatalogEscape(char16_t c) {
  return c == u'"' || c == u'\\' || c == u'n' || c == u'r' || c == u't';
}

// Where a value's quotes are: the last plain one (its end, as the launcher
// cuts it), the last escaped one, and the backslashes that start no escape.
struct QuoteScan {
  size_t lastQuote = std::u16string::npos;
  size_t lastEscapedQuote = std::u16string::npos;
  std::vector<size_t> literalBackslashes;  // offsets in the value
};

QuoteScan ScanQuotes(const std::u16string& value) {
  QuoteScan q;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == u'"') {
      q.lastQuote = i;
    } else if (value[i] == u'\\') {
      const char16_t next = i + 1 < value.size() ? value[i + 1] : 0;
      if (!IsCatalogEscape(next)) {
        q.literalBackslashes.push_back(i);
        continue;
      }
      if (next == u'"') q.lastEscapedQuote = i;
      ++i;
    }
  }
  return q;
}

bool OnlyBlanksAfter(const std::u16string& value, size_t position) {
  for (size_t i = position + 1; i < value.size(); ++i) {
    if (value[i] != u' ' && value[i] != u'\t') return false;
  }
  return true;
}
}  // namespace

EntryShape ReadEntryShape(const BodyLine& line) {
  EntryShape e;
  if (!LooksLikeKey(line.text)) {
    return e;
  }
  e.isEntry = true;
  e.key = line.text.substr(0, kKeyUnits);
  e.lowerCase = LowerKey(e.key) == e.key;
  e.hasSeparator = line.text.size() >= 10 && line.text[8] == u'=' && line.text[9] == u'"';
  // The value begins at the 11th character whatever stands at the 9th and
  // 10th; a key's digits hold no backslash, so raw and resolved agree so far.
  const std::u16string value = line.raw.size() > 10 ? line.raw.substr(10) : std::u16string();
  const QuoteScan q = ScanQuotes(value);
  for (const size_t at : q.literalBackslashes) {
    e.literalBackslashes.push_back(line.column + 10 + static_cast<uint32_t>(at));
  }
  e.closed = q.lastQuote != std::u16string::npos;
  e.intended = ResolveEscapes(value.substr(0, q.lastQuote));
  e.escapedQuoteCloses =
      q.lastEscapedQuote != std::u16string::npos && (!e.closed || q.lastEscapedQuote > q.lastQuote);
  e.textAfterQuote = e.closed && !OnlyBlanksAfter(value, q.lastQuote);
  return e;
}

const char* SavedFormName(SavedForm form) {
  switch (form) {
    case SavedForm::kUtf16Le:
      return "UTF-16 LE";
    case SavedForm::kUtf16Be:
      return "UTF-16 BE";
    case SavedForm::kUtf8:
      return "UTF-8";
    case SavedForm::kCodePage:
      break;
  }
  return "the code page";
}

std::u16string DecodeAnyForm(const std::vector<uint8_t>& b, const AnsiCodec& codec,
                             SavedForm* form) {
  const bool le = b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE;
  if (le || BeginsBigEndian(b)) {
    *form = le ? SavedForm::kUtf16Le : SavedForm::kUtf16Be;
    std::u16string text;
    for (size_t i = 2; i + 1 < b.size(); i += 2) {
      text.push_back(static_cast<char16_t>(le ? b[i] | (b[i + 1] << 8) : (b[i] << 8) | b[i + 1]));
    }
    return text;
  }
  const bool bom = b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
  const char* bytes = reinterpret_cast<const char*>(b.data());
  if (bom || LooksLikeUtf8(b)) {
    *form = SavedForm::kUtf8;
    const size_t skip = bom ? 3 : 0;
    return Utf8ToUtf16(bytes + skip, b.size() - skip);
  }
  *form = SavedForm::kCodePage;
  return DecodeAnsi(codec, b.data(), b.size());
}

bool CatalogFile::Load(const std::vector<uint8_t>& bytes) {
  fileBytes = bytes.size();
  bigEndian = BeginsBigEndian(bytes);
  MemorySource source(bytes.data(), bytes.size());
  markerFound = FindCatalogMarker(source, &markerPosition, &form);
  if (!markerFound) {
    LookForMissedMarker(bytes);
    return false;
  }
  catalog.LoadFromBytes(bytes.data(), bytes.size());
  const size_t marker = static_cast<size_t>(markerPosition);
  looksLikeUtf8 = form == CatalogForm::kAnsi && LooksLikeUtf8(bytes);
  bodyBytes = bytes.size() - marker;
  uint32_t line = 1;
  uint32_t column = 1;
  CountHeaderLines(bytes, marker, form, &line, &column);
  header = DecodeHeader(bytes, marker, form, codec_);
  TraceLines(DecodeBody(bytes, marker, form, codec_), line, column);
  MatchLauncherText();
  return true;
}

void CatalogFile::TraceLines(const std::u16string& body, uint32_t firstLine, uint32_t firstColumn) {
  lines.clear();
  uint32_t line = firstLine;
  uint32_t column = firstColumn;
  BodyLine current;
  current.fileLine = line;
  current.column = column;
  auto finish = [&](uint32_t nextLine, uint32_t nextColumn) {
    current.text = ResolveEscapes(current.raw);
    lines.push_back(current);
    current = BodyLine();
    current.fileLine = nextLine;
    current.column = nextColumn;
  };
  for (size_t i = 0; i < body.size(); ++i) {
    const char16_t c = body[i];
    if (c == 0x0D && i + 1 < body.size() && body[i + 1] == 0x0A) {
      finish(line, column + 1);  // the empty line between CR and LF
    } else if (c == 0x0D || c == 0x0A) {
      ++line;
      column = 1;
      finish(line, column);
    } else if (c == kLineSeparator) {
      ++column;
      finish(line, column);
    } else {
      current.raw.push_back(c);
      ++column;
    }
  }
  finish(line, column);
}

void CatalogFile::MatchLauncherText() {
  offsets_.clear();
  if (!catalog.IsLoaded()) {
    return;
  }
  std::set<uint64_t> indexed(catalog.Index().items, catalog.Index().items + catalog.Index().count);
  uint64_t start = 0;
  size_t i = 0;
  for (uint64_t at = 0; at <= catalog.Length() && i < lines.size(); ++at) {
    if (at < catalog.Length() && catalog.Text()[at] != kLineSeparator) {
      continue;
    }
    const std::u16string segment(catalog.Text() + start, static_cast<size_t>(at - start));
    BodyLine& l = lines[i++];
    l.offset = start;
    offsets_.push_back(start);
    l.kept = segment == l.text;
    l.cut = !l.kept;
    l.indexed = indexed.count(start) != 0;
    if (!hasNul && l.raw.find(u'\0') != std::u16string::npos) {
      hasNul = true;
      nulLine = l.fileLine;
    }
    start = at + 1;
  }
}

void CatalogFile::LookForMissedMarker(const std::vector<uint8_t>& bytes) {
  size_t at = 0;
  CatalogForm found = CatalogForm::kAnsi;
  if (FindMarkerInChunk(bytes.data(), bytes.size(), &at, &found)) {
    unreachedMarker = static_cast<int64_t>(at);
    unreachedForm = found;
    return;
  }
  for (size_t j = 0; j < bytes.size(); ++j) {
    if (MarkerInAnyCase(bytes, j, 1) || MarkerInAnyCase(bytes, j, 2)) {
      markerInOtherCase = static_cast<int64_t>(j);
      return;
    }
  }
}

int64_t CatalogFile::LineAt(int64_t offset) const {
  if (offset < 0) {
    return -1;
  }
  // Line starts grow strictly, so the lines the launcher holds are sorted.
  const auto at = std::lower_bound(offsets_.begin(), offsets_.end(), static_cast<uint64_t>(offset));
  if (at == offsets_.end() || *at != static_cast<uint64_t>(offset)) {
    return -1;
  }
  return at - offsets_.begin();
}

int64_t CatalogFile::ChosenLine(const std::u16string& key) const {
  if (!catalog.IsLoaded() || key.size() != kKeyUnits) {
    return -1;
  }
  int64_t offset = catalog.FindKeySorted(key.c_str());
  if (offset < 0) {
    offset = catalog.FindKeyLinear(key.c_str());
  }
  return LineAt(offset);
}

}  // namespace lngtool
