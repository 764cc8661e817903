#include "lngtool/exchange/catalog_export.h"

#include <ctime>
#include <set>

#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/catalog/translation_state.h"
#include "lngtool/exchange/po_file.h"
#include "lngtool/exchange/xliff_file.h"
#include "lngtool/io/text_form.h"
#include "resources/resource_ids.h"

namespace lngtool {
namespace {
constexpr int kUnitsPerCharacter = 4;  // dialog units across one average character
constexpr int kUnitsPerLine = 8;       // dialog units down one line of the 8-point font

std::string Signed(uint32_t id) { return std::to_string(static_cast<int32_t>(id)); }

std::string StringNote(uint32_t id) {
  const std::string name = "String " + std::to_string(id);
  if (id == IDS_INSTALLER_NAME) {
    return name +
           ": the file name of the partner's installer, which the launcher looks for beside "
           "itself. Keep it unchanged: translated, the launcher looks for a file of that name "
           "(a plain file name only; anything else is refused).";
  }
  if (id == IDS_FIRST_USE_URL) {
    return name +
           ": the address of a page opened after the installation, used only when it begins "
           "with http:// or https:// and holds no blank or quote. "
           "Keep it unless there is such a page in your language.";
  }
  if (id >= IDS_INFO_TEXT_FIRST && id <= IDS_INFO_TEXT_LAST) {
    return name +
           ": part of the information dialog's text; strings 5103 to 5106 are joined with "
           "blanks and shown in at most 1,023 characters.";
  }
  return name + ".";
}

std::string DialogName(const ProgramText& t) { return ToUtf8(t.context); }

std::string Note(const ProgramText& t, uint32_t perLine, uint32_t lines) {
  switch (t.role) {
    case TextRole::kString:
      return StringNote(t.id);
    case TextRole::kTitle:
      return "Title of the dialog " + DialogName(t) + ".";
    case TextRole::kImageName:
      return "Control " + Signed(t.id) + " (" + ToUtf8(t.className) + ") of the dialog " +
             DialogName(t) + ": names the image it shows. Keep it unchanged.";
    case TextRole::kScale:
      return "Scale of the dialog " + DialogName(t) +
             ": horizontal*vertical percentages by which the dialog and its controls grow. "
             "100*100 keeps the size; 120*110 makes it 20 % wider and 10 % taller. The value is "
             "two whole numbers joined by an asterisk, nothing else.";
    case TextRole::kDirection:
      return "Text direction: RTL for a language written right to left (both dialogs are "
             "then mirrored), LTR otherwise. The value is LTR or RTL, nothing else.";
    case TextRole::kControl:
      break;
  }
  std::string note = "Control " + Signed(t.id) + " (" + ToUtf8(t.className) + ") of the dialog " +
                     DialogName(t) + ".";
  if (t.source.find(u"<a href=") != std::u16string::npos) {
    note +=
        " Keep the link markup <a href=\"...\"> and </a> as it is; translate the text "
        "between them.";
  }
  if (perLine != 0) {
    note += " Room: about " + std::to_string(perLine) + " characters" +
            (lines > 1 ? " a line, " + std::to_string(lines) + " lines." : ".");
  }
  return note;
}

// "NAME:PLACE", from which LabelFromReference gives the label again.
std::string Reference(const ProgramText& t) {
  switch (t.role) {
    case TextRole::kString:
      return "STRINGTABLE:" + std::to_string(t.id);
    case TextRole::kControl:
    case TextRole::kImageName:
      return DialogName(t) + ":" + Signed(t.id);
    case TextRole::kTitle:
      return DialogName(t) + ":title";
    case TextRole::kScale:
      return DialogName(t) + ":scale";
    case TextRole::kDirection:
      break;
  }
  return DialogName(t) + ":direction";
}

TranslationMessage Describe(const ProgramText& t) {
  TranslationMessage m;
  m.id = KeyText(t.key);
  m.context = ContextLabel(t.kind, t.hasContext, t.context, t.role == TextRole::kScale);
  m.source = t.role == TextRole::kScale ? kScaleSource : ToUtf8(t.source);
  uint32_t perLine = 0;
  uint32_t lines = 0;
  if (t.role == TextRole::kControl && t.width > 0) {
    perLine = static_cast<uint32_t>(t.width / kUnitsPerCharacter);
    lines = t.height >= 2 * kUnitsPerLine ? static_cast<uint32_t>(t.height / kUnitsPerLine) : 1;
    m.maxWidth = perLine * lines;
  }
  m.note = Note(t, perLine, lines);
  m.reference = Reference(t);
  m.keepUnchanged =
      t.role == TextRole::kImageName || (t.role == TextRole::kString && t.id == kFirstStringId);
  return m;
}

// Every field of m as the formats carry it; else the entry, the field and
// the character are named.
bool Carried(const TranslationMessage& m, std::string* messages) {
  const std::pair<const std::string*, const char*> fields[] = {
      {&m.source, m.obsolete ? "comment (its English text)" : "English text"},
      {&m.context, m.obsolete ? "comment (its dialog)" : "context"},
      {&m.translation, "translation"},
      {&m.previous, "previous text"},
  };
  for (const auto& field : fields) {
    const std::u16string text = FromUtf8(*field.first);
    const size_t at = FindUncarried(text);
    if (at != std::u16string::npos) {
      *messages += "lngtool: " + (m.line != 0 ? "line " + std::to_string(m.line) + ": " : "") +
                   "the " + field.second + " of the entry " + m.id + " holds the character " +
                   CodePointName(text[at]) +
                   ", which neither PO nor XLIFF can carry; nothing was exported\n";
      return false;
    }
  }
  return true;
}
}  // namespace

std::vector<TranslationMessage> ExportMessages(const std::vector<ProgramText>& texts,
                                               const CatalogFile* catalog,
                                               std::vector<std::string>* problems,
                                               bool keepIdentical) {
  std::vector<TranslationMessage> messages;
  std::set<uint32_t> keys;
  for (const ProgramText& t : texts) {
    if (!keys.insert(t.key).second) {
      continue;  // one key, one entry in the catalog, one message
    }
    TranslationMessage m = Describe(t);
    const int64_t chosen = catalog != nullptr ? catalog->ChosenLine(FromUtf8(m.id)) : -1;
    if (chosen >= 0) {
      const BodyLine& line = catalog->lines[static_cast<size_t>(chosen)];
      m.line = line.fileLine;
      m.translation = ToUtf8(ReadEntryShape(line).intended);
      const TranslationState state = StateOf(*catalog, t, keepIdentical);
      m.translated = state != TranslationState::kUntranslated;
      CatalogEntry suggested{t, u""};
      if (state == TranslationState::kFuzzy &&
          ReadSuggestion(*catalog, static_cast<size_t>(chosen), &suggested)) {
        m.translation = ToUtf8(suggested.suggestion);
        m.previous = ToUtf8(suggested.previousSource);
        m.fuzzy = true;
      }
    }
    messages.push_back(std::move(m));
  }
  if (catalog != nullptr && catalog->markerFound) {
    for (const ObsoleteEntry& o : MergeCatalog(*catalog, texts, {}, false).obsolete) {
      if (o.reason != kGoneReason) {
        problems->push_back("line " + std::to_string(o.line) + ": the entry " + ToUtf8(o.key) +
                            " is not exported: " + o.reason);
      }
    }
  }
  return messages;
}

std::vector<TranslationMessage> ObsoleteMessages(const std::vector<ProgramText>& texts,
                                                 const CatalogFile& catalog,
                                                 std::vector<std::string>* problems) {
  std::set<std::pair<std::string, std::string>> named;  // context and source of each message
  for (const ProgramText& t : texts) {
    const TranslationMessage m = Describe(t);
    named.emplace(m.context, m.source);
  }
  std::vector<TranslationMessage> messages;
  if (!catalog.markerFound) {
    return messages;
  }
  for (const ObsoleteEntry& o : MergeCatalog(catalog, texts, {}, false).obsolete) {
    NamedText text;
    if (o.reason != kGoneReason) {
      continue;  // a text the program has: ExportMessages names it
    }
    const std::string where = "line " + std::to_string(o.line) + ": the obsolete entry " +
                              ToUtf8(o.key) + " is not exported: ";
    if (!ReadNamedText(o.comment, &text)) {
      problems->push_back(where + "no comment line above it names its English text");
      continue;
    }
    const bool scale = text.kind == kDialogText && text.source.empty();
    TranslationMessage m;
    m.id = ToUtf8(o.key);
    m.context = ContextLabel(text.kind, !text.context.empty(), text.context, scale);
    m.source = scale ? kScaleSource : ToUtf8(text.source);
    m.translation = ToUtf8(o.value);
    m.translated = m.translation != m.source;
    m.obsolete = true;
    m.line = o.line;
    if (!named.emplace(m.context, m.source).second) {
      problems->push_back(where + "another message has its text");
      continue;
    }
    messages.push_back(std::move(m));
  }
  return messages;
}

bool ExportTranslations(const std::vector<ProgramText>& texts, const CatalogFile* catalog,
                        const ExportOptions& options, std::string* document,
                        std::string* messages) {
  std::vector<std::string> problems;
  std::vector<TranslationMessage> exported =
      ExportMessages(texts, catalog, &problems, options.keepIdentical);
  if (catalog != nullptr && options.format != ExportFormat::kPot) {
    for (TranslationMessage& m : ObsoleteMessages(texts, *catalog, &problems)) {
      if (options.format == ExportFormat::kXliff) {
        problems.push_back("line " + std::to_string(m.line) + ": the obsolete entry " + m.id +
                           " is not exported: XLIFF has no place for it (PO has)");
      } else {
        exported.push_back(std::move(m));
      }
    }
  }
  for (const std::string& p : problems) {
    *messages += "lngtool: warning: " + p + "\n";
  }
  for (const TranslationMessage& m : exported) {
    if (!Carried(m, messages)) {
      return false;
    }
  }
  if (options.format == ExportFormat::kXliff) {
    *document = WriteXliff({options.moduleName, options.language}, exported);
    return true;
  }
  PoHeader header;
  header.project = "Zentak launcher (" + options.moduleName + ")";
  header.isTemplate = options.format == ExportFormat::kPot;
  header.language = header.isTemplate ? "" : options.language;
  header.revisionDate = header.isTemplate ? "YEAR-MO-DA HO:MI+ZONE" : options.revisionDate;
  if (!header.isTemplate) {
    header.fields = options.headerFields;
  }
  *document = WritePo(header, exported);
  return true;
}

std::string NormalizeLanguage(const std::string& tag) {
  std::string out = tag.substr(0, tag.find('.'));  // gettext's ".UTF-8", a charset
  for (char& c : out) {
    c = c == '_' ? '-' : c;
  }
  return IsLanguageTag(out) ? out : tag;
}

bool IsLanguageTag(const std::string& tag) {
  size_t start = 0;
  bool first = true;
  while (start <= tag.size()) {
    size_t end = tag.find('-', start);
    end = end == std::string::npos ? tag.size() : end;
    const size_t length = end - start;
    if (length < (first ? 2U : 1U) || length > 8) {
      return false;
    }
    for (size_t i = start; i < end; ++i) {
      const char c = tag[i];
      const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
      const bool digit = c >= '0' && c <= '9';
      if (!letter && (first || !digit)) {
        return false;
      }
    }
    first = false;
    start = end + 1;
  }
  return true;
}

std::string CurrentRevisionDate() {
  const std::time_t now = std::time(nullptr);
  const std::tm* utc = std::gmtime(&now);
  char text[32] = "YEAR-MO-DA HO:MI+ZONE";
  if (utc != nullptr) {
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", utc);
  }
  return text;
}

std::string CatalogLanguage(const CatalogFile& catalog) {
  const std::u16string prefix = u"; Language: ";
  for (const std::u16string& line : catalog.header) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      const std::string tag = NormalizeLanguage(ToUtf8(line.substr(prefix.size())));
      return IsLanguageTag(tag) ? tag : "";
    }
  }
  return "";
}

}  // namespace lngtool

namespace lngtool {

const char kHeaderFieldPrefix[] = "; PO-Header: ";

std::vector<HeaderField> CatalogHeaderFields(const CatalogFile& catalog) {
  std::vector<HeaderField> fields;
  const std::u16string prefix = FromUtf8(kHeaderFieldPrefix);
  for (const std::u16string& line : catalog.header) {
    if (line.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const std::string field = ToUtf8(line.substr(prefix.size()));
    const size_t colon = field.find(':');
    if (colon != std::string::npos && colon > 0) {
      const size_t value = field.find_first_not_of(' ', colon + 1);
      fields.emplace_back(field.substr(0, colon),
                          value == std::string::npos ? "" : field.substr(value));
    }
  }
  return fields;
}

std::string TranslationStatistics(const std::vector<TranslationMessage>& messages) {
  uint32_t translated = 0;
  uint32_t fuzzy = 0;
  uint32_t untranslated = 0;
  for (const TranslationMessage& m : messages) {
    if (!m.obsolete) {
      translated += m.translated && !m.fuzzy ? 1 : 0;
      fuzzy += m.fuzzy ? 1 : 0;
      untranslated += m.translated ? 0 : 1;
    }
  }
  auto count = [](uint32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string line = count(translated, "translated message", "translated messages");
  if (fuzzy != 0) {
    line += ", " + count(fuzzy, "fuzzy translation", "fuzzy translations");
  }
  if (untranslated != 0) {
    line += ", " + count(untranslated, "untranslated message", "untranslated messages");
  }
  return line + ".\n";
}

}  // namespace lngtool
