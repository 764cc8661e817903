#include "lngtool/catalog/translation_state.h"

#include <algorithm>

#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/io/text_form.h"

namespace lngtool {

const char16_t kIdenticalPrefix[] = u"; Kept as in English: ";

namespace {
constexpr size_t kKeysPerLine = 8;

bool IsIdenticalLine(const std::u16string& line) {
  return line.compare(0, std::char_traits<char16_t>::length(kIdenticalPrefix), kIdenticalPrefix) ==
         0;
}
}  // namespace

std::set<std::u16string> IdenticalKeys(const std::vector<std::u16string>& header) {
  std::set<std::u16string> keys;
  for (const std::u16string& line : header) {
    if (!IsIdenticalLine(line)) {
      continue;
    }
    size_t at = std::char_traits<char16_t>::length(kIdenticalPrefix);
    while (at < line.size()) {
      const size_t end = std::min(line.find(u' ', at), line.size());
      const std::u16string word = line.substr(at, end - at);
      if (word.size() == kKeyUnits && LooksLikeKey(word)) {
        keys.insert(word);
      }
      at = end + 1;
    }
  }
  return keys;
}

std::vector<std::u16string> WithIdenticalKeys(const std::vector<std::u16string>& header,
                                              const std::set<std::u16string>& keys) {
  std::vector<std::u16string> out;
  for (const std::u16string& line : header) {
    if (!IsIdenticalLine(line)) {
      out.push_back(line);
    }
  }
  std::u16string line;
  size_t onLine = 0;
  for (const std::u16string& key : keys) {
    line += (onLine == 0 ? std::u16string(kIdenticalPrefix) : u" ") + key;
    if (++onLine == kKeysPerLine) {
      out.push_back(line);
      line.clear();
      onLine = 0;
    }
  }
  if (onLine != 0) {
    out.push_back(line);
  }
  return out;
}

namespace {
TranslationState StateWith(const CatalogFile& file, const ProgramText& text,
                           const std::set<std::u16string>& identical, bool keepIdentical) {
  const std::u16string key = FromUtf8(KeyText(text.key));
  const int64_t chosen = file.ChosenLine(key);
  if (chosen < 0) {
    return TranslationState::kUntranslated;
  }
  const auto at = static_cast<size_t>(chosen);
  if (ReadEntryShape(file.lines[at]).intended != DefaultValue(text)) {
    return TranslationState::kTranslated;
  }
  CatalogEntry suggested;
  if (ReadSuggestion(file, at, &suggested)) {
    return TranslationState::kFuzzy;
  }
  return keepIdentical || identical.count(key) != 0 ? TranslationState::kTranslated
                                                    : TranslationState::kUntranslated;
}
}  // namespace

TranslationState StateOf(const CatalogFile& file, const ProgramText& text, bool keepIdentical) {
  return StateWith(file, text, IdenticalKeys(file.header), keepIdentical);
}

TranslationTally CountTranslations(const CatalogFile& file, const std::vector<ProgramText>& texts,
                                   bool keepIdentical) {
  const std::set<std::u16string> identical = IdenticalKeys(file.header);
  std::set<uint32_t> seen;
  TranslationTally tally;
  for (const ProgramText& t : texts) {
    if (!seen.insert(t.key).second) {
      continue;
    }
    switch (StateWith(file, t, identical, keepIdentical)) {
      case TranslationState::kTranslated:
        ++tally.translated;
        break;
      case TranslationState::kFuzzy:
        ++tally.fuzzy;
        break;
      case TranslationState::kUntranslated:
        ++tally.untranslated;
        break;
    }
  }
  return tally;
}

}  // namespace lngtool
