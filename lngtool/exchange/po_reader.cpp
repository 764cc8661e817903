#include <cstdint>

#include "lngtool/exchange/po_file.h"

namespace lngtool {

const char kEmptyTranslationFlag[] = "empty-translation";

namespace {
struct Line {
  uint32_t number;
  std::string text;  // without the line end
};

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  uint32_t number = 1;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    end = end == std::string::npos ? bytes.size() : end;
    std::string text = bytes.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') {
      text.pop_back();
    }
    lines.push_back({number++, std::move(text)});
    start = end + 1;
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) {
    ++b;
  }
  while (e > b && IsBlank(s[e - 1])) {
    --e;
  }
  return s.substr(b, e - b);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// One escape after a backslash at text[*i]; advances *i past it.
bool ReadEscape(const std::string& text, size_t* i, std::string* out) {
  const char c = text[*i];
  const char* simple =
      "n\nt\tr\r\"\"\\\\a\ab\bf\fv\v?"
      "?''";
  for (const char* p = simple; *p != 0; p += 2) {
    if (c == p[0]) {
      out->push_back(p[1]);
      ++*i;
      return true;
    }
  }
  unsigned value = 0;
  int digits = 0;
  if (c >= '0' && c <= '7') {
    while (digits < 3 && *i < text.size() && text[*i] >= '0' && text[*i] <= '7') {
      value = value * 8 + static_cast<unsigned>(text[(*i)++] - '0');
      ++digits;
    }
  } else if (c == 'x') {
    ++*i;
    while (digits < 2 && *i < text.size() && HexValue(text[*i]) >= 0) {
      value = value * 16 + static_cast<unsigned>(HexValue(text[(*i)++]));
      ++digits;
    }
  }
  if (digits == 0 || value > 0xFF) {
    return false;
  }
  out->push_back(static_cast<char>(value));
  return true;
}

// A quoted string that fills the rest of the line (blanks around it allowed).
bool ReadQuoted(const std::string& rest, std::string* out, std::string* why) {
  const std::string s = Trim(rest);
  if (s.empty() || s[0] != '"') {
    *why = "a string in double quotes was expected";
    return false;
  }
  for (size_t i = 1; i < s.size();) {
    const char c = s[i++];
    if (c == '"') {
      if (i != s.size()) {
        *why = "text after the closing quote";
        return false;
      }
      return true;
    }
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (i == s.size() || !ReadEscape(s, &i, out)) {
      *why = "a backslash that starts no escape (\\n \\t \\r \\\" \\\\ \\ooo \\xhh)";
      return false;
    }
  }
  *why = "the string has no closing quote";
  return false;
}

enum class Part : uint8_t { kNone, kContext, kId, kPlural, kString, kPluralString };

class PoReader {
 public:
  PoReader(TranslationFile* file, ReadError* error) : file_(file), error_(error) {}

  bool Read(const std::string& bytes) {
    for (const Line& line : SplitLines(bytes)) {
      if (!ReadLine(line)) {
        return false;
      }
    }
    return Finish(lastLine_ + 1);
  }

 private:
  bool Fail(uint32_t line, const std::string& message) {
    error_->line = line;
    error_->message = message;
    return false;
  }

  bool ReadLine(const Line& line) {
    lastLine_ = line.number;
    const std::string text = Trim(line.text);
    if (text.empty()) {
      return Finish(line.number);
    }
    if (text[0] == '#') {
      return ReadComment(line.number, text);
    }
    if (text[0] == '"') {
      return Continue(line.number, text, false);
    }
    return ReadKeyword(line.number, text, false);
  }

  // "#~" lines: an obsolete message, read as any other and marked so.
  bool ReadObsolete(uint32_t number, const std::string& rest) {
    if (rest.empty() || rest[0] == '|') {
      return true;  // the previous texts of an obsolete message
    }
    return rest[0] == '"' ? Continue(number, rest, true) : ReadKeyword(number, rest, true);
  }

  bool ReadComment(uint32_t number, const std::string& text) {
    if (text.compare(0, 2, "#|") == 0) {
      return true;  // previous texts are for people only
    }
    if (text.compare(0, 2, "#~") == 0) {
      return ReadObsolete(number, Trim(text.substr(2)));
    }
    if (field_ == Part::kString || field_ == Part::kPluralString) {
      if (!Finish(number)) {
        return false;
      }
    }
    if (text.compare(0, 2, "#:") == 0 && reference_.empty()) {
      const std::string rest = Trim(text.substr(2));
      reference_ = rest.substr(0, rest.find_first_of(" \t"));
    }
    if (text.compare(0, 2, "#,") == 0) {
      std::string flags = text.substr(2);
      size_t start = 0;
      while (start <= flags.size()) {
        size_t end = flags.find(',', start);
        end = end == std::string::npos ? flags.size() : end;
        const std::string flag = Trim(flags.substr(start, end - start));
        fuzzy_ = fuzzy_ || flag == "fuzzy";
        empty_ = empty_ || flag == kEmptyTranslationFlag;
        start = end + 1;
      }
    }
    return true;
  }

  bool ReadKeyword(uint32_t number, const std::string& text, bool obsolete) {
    size_t end = 0;
    while (end < text.size() && !IsBlank(text[end]) && text[end] != '"') {
      ++end;
    }
    const std::string keyword = text.substr(0, end);
    Part next = Part::kNone;
    if (keyword == "msgctxt") {
      next = Part::kContext;
    } else if (keyword == "msgid") {
      next = Part::kId;
    } else if (keyword == "msgid_plural") {
      next = Part::kPlural;
    } else if (keyword == "msgstr") {
      next = Part::kString;
    } else if (keyword.compare(0, 7, "msgstr[") == 0 && keyword.back() == ']') {
      next = Part::kPluralString;
    } else {
      return Fail(number, "unknown keyword \"" + keyword + "\"");
    }
    if ((next == Part::kContext || next == Part::kId) &&
        (field_ == Part::kString || field_ == Part::kPluralString)) {
      if (!Finish(number)) {
        return false;
      }
    }
    if (!Order(number, next) || !SameKind(number, obsolete)) {
      return false;
    }
    if (next == Part::kString || (next == Part::kPluralString && field_ != next)) {
      stringLine_ = number;
    }
    field_ = next;
    return Append(number, text.substr(end));
  }

  // The keywords of an entry come in the order msgctxt, msgid, msgid_plural,
  // msgstr (or msgstr[n], repeated).
  bool Order(uint32_t number, Part next) {
    const bool fits =
        (next == Part::kContext && field_ == Part::kNone && !hasContext_) ||
        (next == Part::kId && (field_ == Part::kNone || field_ == Part::kContext)) ||
        (next == Part::kPlural && field_ == Part::kId) ||
        (next == Part::kString && field_ == Part::kId) ||
        (next == Part::kPluralString && (field_ == Part::kPlural || field_ == Part::kPluralString));
    if (!fits) {
      return Fail(number,
                  "this keyword is out of place: an entry is msgctxt (optional), msgid, "
                  "msgstr");
    }
    hasContext_ = hasContext_ || next == Part::kContext;
    return true;
  }

  bool Continue(uint32_t number, const std::string& text, bool obsolete) {
    if (field_ == Part::kNone) {
      return Fail(number, "a string that belongs to no keyword");
    }
    return SameKind(number, obsolete) && Append(number, text);
  }

  // An entry is obsolete ("#~") in all its lines or in none.
  bool SameKind(uint32_t number, bool obsolete) {
    if (field_ == Part::kNone) {
      obsolete_ = obsolete;
    } else if (obsolete_ != obsolete) {
      return Fail(number, "an entry that is obsolete (#~) in some of its lines only");
    }
    return true;
  }

  bool Append(uint32_t number, const std::string& rest) {
    std::string why;
    std::string* target = nullptr;
    std::string ignored;
    switch (field_) {
      case Part::kContext:
        target = &context_;
        break;
      case Part::kId:
        target = &id_;
        break;
      case Part::kString:
        target = &string_;
        break;
      default:
        target = &ignored;
        plural_ = true;
    }
    if (!ReadQuoted(rest, target, &why)) {
      return Fail(number, why);
    }
    return true;
  }

  bool Finish(uint32_t number) {
    if (field_ == Part::kContext || field_ == Part::kId || field_ == Part::kPlural) {
      return Fail(number, "the entry ends before its msgstr");
    }
    // Flags with no entry after them (those of an obsolete entry) are dropped.
    const bool done = field_ == Part::kNone || Take();
    field_ = Part::kNone;
    hasContext_ = plural_ = fuzzy_ = empty_ = obsolete_ = false;
    context_.clear();
    reference_.clear();
    id_.clear();
    string_.clear();
    return done;
  }

  bool Take() {
    if (obsolete_ && !hasContext_ && id_.empty()) {
      return true;  // an obsolete header has nothing to give
    }
    if (!hasContext_ && id_.empty()) {
      return TakeHeader();
    }
    if (plural_) {
      file_->warnings.push_back(
          std::to_string(stringLine_) +
          ": warning: a plural entry, which the launcher has no use for; left out");
      return true;
    }
    TranslationMessage m;
    m.context = context_;
    m.reference = reference_;
    m.source = id_;
    m.translation = string_;
    m.translated = !string_.empty() || empty_;
    m.fuzzy = fuzzy_;
    m.obsolete = obsolete_;
    m.line = stringLine_;
    file_->messages.push_back(std::move(m));
    return true;
  }

  bool TakeHeader() {
    if (sawHeader_) {
      return Fail(stringLine_, "a second header (msgid \"\" without msgctxt)");
    }
    sawHeader_ = true;
    size_t start = 0;
    while (start < string_.size()) {
      size_t end = string_.find('\n', start);
      end = end == std::string::npos ? string_.size() : end;
      const std::string field = string_.substr(start, end - start);
      const size_t colon = field.find(':');
      const std::string name = field.substr(0, colon);
      const std::string value = colon == std::string::npos ? "" : Trim(field.substr(colon + 1));
      if (name == "Language") {
        file_->language = value;
      } else if (!name.empty() && colon != std::string::npos && !IsOwnHeaderField(name)) {
        file_->headerFields.emplace_back(name, value);
      }
      if (name == "Content-Type" && !CharsetFits(value)) {
        return Fail(stringLine_, "the file is not UTF-8 (" + value +
                                     "); convert it with msgconv --to-code=UTF-8");
      }
      start = end + 1;
    }
    return true;
  }

  static bool CharsetFits(const std::string& contentType) {
    const size_t at = contentType.find("charset=");
    if (at == std::string::npos) {
      return true;
    }
    std::string charset = contentType.substr(at + 8);
    for (char& c : charset) {
      c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return charset == "UTF-8" || charset == "CHARSET" || charset == "ASCII" ||
           charset == "US-ASCII";
  }

  TranslationFile* file_;
  ReadError* error_;
  uint32_t lastLine_ = 0;
  bool sawHeader_ = false;
  Part field_ = Part::kNone;
  bool hasContext_ = false;
  bool plural_ = false;
  bool fuzzy_ = false;
  bool empty_ = false;
  bool obsolete_ = false;
  std::string context_;
  std::string reference_;  // the first "#:" place
  std::string id_;
  std::string string_;
  uint32_t stringLine_ = 0;
};

uint32_t LineOfOffset(const std::string& bytes, size_t offset) {
  uint32_t line = 1;
  for (size_t i = 0; i < offset && i < bytes.size(); ++i) {
    line += bytes[i] == '\n' ? 1 : 0;
  }
  return line;
}

// The texts of every message must be UTF-8 too: escapes can make bytes that
// are not.
bool CheckTexts(const TranslationFile& file, ReadError* error) {
  for (const TranslationMessage& m : file.messages) {
    size_t at = 0;
    if (!IsValidUtf8(m.context, &at) || !IsValidUtf8(m.source, &at) ||
        !IsValidUtf8(m.translation, &at)) {
      error->line = m.line;
      error->message = "an escape makes a byte sequence that is not UTF-8";
      return false;
    }
  }
  return true;
}
}  // namespace

bool IsOwnHeaderField(const std::string& name) {
  static const char* const kOwn[] = {
      "Project-Id-Version", "PO-Revision-Date",          "Language",   "MIME-Version",
      "Content-Type",       "Content-Transfer-Encoding", "X-Generator"};
  for (const char* own : kOwn) {
    if (name == own) {
      return true;
    }
  }
  return false;
}

bool ReadPo(const std::string& bytes, TranslationFile* file, ReadError* error) {
  *file = TranslationFile();
  std::string text = bytes;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text.erase(0, 3);
  }
  size_t fault = 0;
  if (!IsValidUtf8(text, &fault)) {
    const uint32_t line = LineOfOffset(text, fault);
    *error = {line, "this line is not UTF-8; save the file as UTF-8"};
    return false;
  }
  if (text.find('\0') != std::string::npos) {
    *error = {LineOfOffset(text, text.find('\0')), "a NUL character"};
    return false;
  }
  PoReader reader(file, error);
  return reader.Read(text) && CheckTexts(*file, error);
}

}  // namespace lngtool
