#include "lngtool/catalog/catalog_checker.h"

namespace lngtool {

void CatalogChecker::CheckLines() {
  const std::vector<BodyLine>& lines = file_.lines;
  for (size_t i = 1; i < lines.size(); ++i) {
    const BodyLine& l = lines[i];
    if (!l.kept && !l.cut) {
      break;
    }
    const EntryShape e = ReadEntryShape(l);
    if (!e.isEntry) {
      CheckNonEntry(l);
      continue;
    }
    CheckKey(l, e);
    // Without '="' the quote rules say nothing the separator error does not.
    if (e.lowerCase && e.hasSeparator) {
      CheckValueShape(l, e);
    }
  }
}

void CatalogChecker::CheckNonEntry(const BodyLine& l) {
  size_t blanks = 0;
  while (blanks < l.text.size() && (l.text[blanks] == u' ' || l.text[blanks] == u'\t')) {
    ++blanks;
  }
  const std::u16string rest = l.text.substr(blanks);
  if (blanks > 0 && LooksLikeKey(rest)) {
    Add(Severity::kError, Finding::kIndented, l.fileLine,
        "blanks before the key " + ToUtf8(rest.substr(0, 8)) +
            ": a key must begin its line, this entry is never used");
    return;
  }
  size_t digits = 0;
  while (digits < rest.size() && LooksLikeKey(std::u16string(8, rest[digits]))) {
    ++digits;
  }
  if (digits > 0 && digits != 8 && digits + 1 < rest.size() && rest[digits] == u'=' &&
      rest[digits + 1] == u'"') {
    Add(Severity::kError, Finding::kKeyLength, l.fileLine,
        "the key " + ToUtf8(rest.substr(0, digits)) + " has " + std::to_string(digits) +
            " digits; a key has exactly 8 (leading zeros included)");
  }
}

void CatalogChecker::CheckKey(const BodyLine& l, const EntryShape& e) {
  const std::string key = ToUtf8(e.key);
  if (!e.lowerCase) {
    std::string message = "the key " + key +
                          " has upper-case digits: the launcher compares keys case-sensitively "
                          "and never matches it; write " +
                          ToUtf8(LowerKey(e.key));
    const auto known = textsByKey_.find(ToUtf8(LowerKey(e.key)));
    if (known != textsByKey_.end()) {
      message += " (" + Describe(*known->second) + ")";
    }
    Add(Severity::kError, Finding::kUpperCaseKey, l.fileLine, message);
    return;
  }
  if (!e.hasSeparator) {
    Add(Severity::kError, Finding::kNoSeparator, l.fileLine,
        "the key " + key +
            " is not followed by =\" (an equals sign and a double quote, with no blanks): the "
            "launcher still takes the value from the 11th character on");
  }
  const int64_t chosen = file_.ChosenLine(e.key);
  if (chosen < 0) {
    Add(Severity::kError, Finding::kUnreachable, l.fileLine,
        "the entry " + key +
            " is never reached: it begins within the last 8 characters of the catalog text, "
            "which the launcher's index leaves out, and is too short for its scan");
  }
  if (texts_ != nullptr && textsByKey_.count(key) == 0) {
    Add(Severity::kWarning, Finding::kUnknownKey, l.fileLine,
        "the key " + key + " matches no text of the program" + WrongKeyHint(key));
  }
}

void CatalogChecker::CheckValueShape(const BodyLine& l, const EntryShape& e) {
  const std::string key = ToUtf8(e.key);
  if (!e.closed && e.escapedQuoteCloses) {
    Add(Severity::kError, Finding::kEscapedQuoteCloses, l.fileLine,
        "the value of " + key +
            " has no closing quote, so its last escaped quote (\\\") ends it and the text "
            "after that is lost");
  } else if (!e.closed) {
    Add(Severity::kError, Finding::kNoClosingQuote, l.fileLine,
        "the value of " + key + " has no closing quote: it runs to the end of the line");
  } else if (e.escapedQuoteCloses) {
    Add(Severity::kError, Finding::kEscapedQuoteCloses, l.fileLine,
        "an escaped quote (\\\") after the closing quote of " + key + " ends the value instead");
  } else if (e.textAfterQuote) {
    Add(Severity::kWarning, Finding::kTextAfterQuote, l.fileLine,
        "the text after the closing quote of " + key + " is ignored");
  }
  for (uint32_t column : e.literalBackslashes) {
    Add(Severity::kWarning, Finding::kLiteralEscape, l.fileLine,
        "column " + std::to_string(column) +
            ": this backslash stays as it is; the escapes are \\\" \\\\ \\n \\r \\t (write \\\\ "
            "for a backslash)");
  }
}

void CatalogChecker::CheckDuplicates() {
  std::map<std::string, std::vector<size_t>> byKey;
  for (size_t i = 1; i < file_.lines.size(); ++i) {
    const BodyLine& l = file_.lines[i];
    if (!l.kept && !l.cut) {
      break;
    }
    const EntryShape e = ReadEntryShape(l);
    if (e.isEntry && e.lowerCase) {
      byKey[ToUtf8(e.key)].push_back(i);
    }
  }
  for (const auto& group : byKey) {
    if (group.second.size() < 2) {
      continue;
    }
    const int64_t chosen = file_.ChosenLine(FromUtf8(group.first));
    std::string where;
    bool differ = false;
    const std::u16string first = ReadEntryShape(file_.lines[group.second[0]]).intended;
    for (size_t i : group.second) {
      where += (where.empty() ? "" : ", ") + std::to_string(file_.lines[i].fileLine);
      if (ReadEntryShape(file_.lines[i]).intended != first) {
        differ = true;
      }
    }
    std::string used = chosen >= 0
                           ? "the launcher uses line " +
                                 std::to_string(file_.lines[static_cast<size_t>(chosen)].fileLine) +
                                 " (its binary search over the sorted index meets that "
                                 "one first)"
                           : "the launcher uses none of them";
    std::string message = "the key " + group.first + " appears on lines " + where;
    message += differ ? " with different values; " : "; ";
    message += used;
    Add(differ ? Severity::kError : Severity::kWarning, Finding::kDuplicateKey,
        file_.lines[group.second[0]].fileLine, message);
  }
}

}  // namespace lngtool
