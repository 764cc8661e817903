#include "lngtool/exchange/catalog_import.h"

#include <algorithm>
#include <map>
#include <set>

#include "lngtool/catalog/catalog_check.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/catalog/translation_state.h"
#include "lngtool/exchange/catalog_export.h"
#include "lngtool/exchange/po_file.h"
#include "lngtool/exchange/xliff_file.h"
#include "lngtool/io/text_form.h"
#include "localization/catalog_text.h"

namespace lngtool {
namespace {
// An entry to be, with the line of the file it comes from.
struct Imported {
  CatalogEntry entry;
  uint32_t line = 0;
};

std::string At(const ImportOptions& o, uint32_t line) {
  return o.fileName + (line != 0 ? ":" + std::to_string(line) : std::string());
}

// The program's text of that key, or one made from the label alone.
ProgramText TextFor(const ParsedLabel& label, const std::u16string& source, uint32_t key,
                    const std::vector<ProgramText>* texts) {
  if (texts != nullptr) {
    for (const ProgramText& t : *texts) {
      if (t.key == key) {
        return t;
      }
    }
  }
  ProgramText t;
  t.kind = label.kind;
  t.hasContext = label.hasContext;
  t.context = label.context;
  t.source = source;
  t.key = key;
  t.id = 0xFFFFFFFF;
  t.className = u"not among the texts read";
  t.role = label.scale                 ? TextRole::kScale
           : label.kind == kStringText ? TextRole::kString
                                       : TextRole::kControl;
  return t;
}

// The label a reference names when a tool dropped the context: "NAME:PLACE",
// or the key itself (xliff2po makes the unit's id the reference), which the
// program's texts name.
std::string ContextOfReference(const std::string& reference,
                               const std::vector<ProgramText>* texts) {
  const std::u16string key = FromUtf8(reference);
  if (texts != nullptr && key.size() == 8 && LooksLikeKey(key)) {
    for (const ProgramText& t : *texts) {
      if (FromUtf8(KeyText(t.key)) == LowerKey(key)) {
        return ContextLabel(t.kind, t.hasContext, t.context, t.role == TextRole::kScale);
      }
    }
  }
  return LabelFromReference(reference);
}

bool Fail(const ImportOptions& o, uint32_t line, const std::string& message,
          ImportOutcome* outcome) {
  outcome->messages += At(o, line) + ": error: " + message + "\n";
  ++outcome->errors;
  return false;
}

// The message as an entry; false with an error when it cannot be one.
bool MakeEntry(const TranslationMessage& m, const ImportOptions& o,
               const std::vector<ProgramText>* texts, const AnsiCodec& codec, Imported* out,
               ImportOutcome* outcome) {
  ParsedLabel label;
  std::string context = m.context.empty() ? ContextOfReference(m.reference, texts) : m.context;
  if (!ParseContextLabel(context, &label)) {
    // xliff2po makes the key the context of a text whose English is not unique.
    const std::string byKey = ContextOfReference(context, texts);
    context = byKey.empty() ? context : byKey;
  }
  if (!ParseContextLabel(context, &label)) {
    const std::string named = context.empty() ? m.reference : context;
    const bool key = named.size() == 8 && LooksLikeKey(FromUtf8(named));
    return Fail(o, m.line,
                key ? "the message is named only by the key " + named +
                          ", which no text of the program has (give the program with --module)"
                    : "the context \"" + context +
                          "\" names no kind of text: \"string\", \"dialog NAME\", \"menu "
                          "NAME\" or \"scale NAME\", as lngtool export writes it",
                outcome);
  }
  const std::u16string source = label.scale ? u"" : FromUtf8(m.source);
  const std::u16string value = FromUtf8(m.translation);
  const std::u16string* const checked[] = {&label.context, &source, &value};
  for (const std::u16string* text : checked) {
    const size_t at = FindUncarried(*text);
    if (at != std::u16string::npos) {
      return Fail(o, m.line,
                  "the character " + CodePointName((*text)[at]) +
                      " cannot stand in launcher.lng (a NUL ends its text, a form feed ends a "
                      "line)",
                  outcome);
    }
  }
  const uint32_t key = CatalogKeyCrc(
      codec, label.kind, label.hasContext ? label.context.c_str() : nullptr, source.c_str());
  out->entry = {TextFor(label, source, key, texts), value};
  out->line = m.line;
  return true;
}

// Two messages with one key would be two entries of which the launcher
// uses one: the same value twice is harmless, two values are an error.
bool DropDuplicates(const ImportOptions& o, std::vector<Imported>* entries,
                    ImportOutcome* outcome) {
  std::map<uint32_t, const Imported*> seen;
  std::vector<Imported> kept;
  bool fine = true;
  for (const Imported& e : *entries) {
    const auto first = seen.find(e.entry.text.key);
    if (first == seen.end()) {
      seen.emplace(e.entry.text.key, &e);
      kept.push_back(e);
      continue;
    }
    const std::string same = "this text has the same key (" + KeyText(e.entry.text.key) +
                             ") as the one at line " + std::to_string(first->second->line);
    if (first->second->entry.value == e.entry.value) {
      outcome->messages += At(o, e.line) + ": warning: " + same + "; left out\n";
    } else {
      fine = Fail(o, e.line, same + ", with another translation", outcome) && fine;
    }
  }
  *entries = std::move(kept);
  return fine;
}

std::vector<std::u16string> ImportHeader(const ImportOptions& o, const TranslationFile& file) {
  const std::string language = NormalizeLanguage(file.language);
  std::vector<std::u16string> header = {
      u"; Message catalog of the Zentak install launcher (launcher.lng), made by",
      u"; \"lngtool import\" from " + FromUtf8(o.fileName) + u".",
  };
  if (!language.empty()) {
    header.push_back(u"; Language: " + FromUtf8(language));
  }
  // Kept for the next export, which gives them back; never one that would
  // end the header early (a line break, or the marker's stars).
  for (const HeaderField& f : file.headerFields) {
    const std::u16string line = FromUtf8(kHeaderFieldPrefix + f.first + ": " + f.second);
    const bool safe =
        line.find(u"**") == std::u16string::npos &&
        std::none_of(line.begin(), line.end(), [](char16_t c) { return c < 0x20 && c != u'\t'; });
    if (safe) {
      header.push_back(line);
    }
  }
  header.push_back(u"; Translate in the PO or XLIFF file and import it again.");
  return header;
}

// A translated obsolete message is kept as the catalog's obsolete entry, for
// the next merge; one that cannot be is left out with a warning.
void TakeObsolete(const TranslationMessage& m, const ImportOptions& o,
                  const std::vector<ProgramText>* texts, const AnsiCodec& codec,
                  std::vector<Imported>* obsolete, ImportOutcome* outcome) {
  if (!m.translated || m.translation.empty()) {
    return;
  }
  ImportOutcome scratch;
  Imported e;
  if (MakeEntry(m, o, texts, codec, &e, &scratch)) {
    obsolete->push_back(std::move(e));
    return;
  }
  const size_t error = scratch.messages.find(": error: ");
  outcome->messages +=
      At(o, m.line) + ": warning: the obsolete message is left out" +
      (error != std::string::npos ? ": " + scratch.messages.substr(error + 9) : std::string("\n"));
}

// Those of the obsolete entries whose key no entry has, as merge writes them.
std::vector<ObsoleteEntry> ObsoleteOf(const std::vector<Imported>& obsolete,
                                      const std::vector<Imported>& entries) {
  std::set<uint32_t> keys;
  for (const Imported& e : entries) {
    keys.insert(e.entry.text.key);
  }
  std::vector<ObsoleteEntry> out;
  for (const Imported& o : obsolete) {
    if (keys.insert(o.entry.text.key).second) {
      out.push_back({o.line, FromUtf8(KeyText(o.entry.text.key)), o.entry.value,
                     CommentLine(o.entry.text), kGoneReason,
                     EntryLine(o.entry.text.key, o.entry.value)});
    }
  }
  return out;
}

// The keys a translator gave the English text on purpose: they stay
// translated through export (see translation_state.h).
std::set<std::u16string> KeptAsEnglish(const std::vector<Imported>& entries) {
  std::set<std::u16string> keys;
  for (const Imported& e : entries) {
    if (e.entry.value == DefaultValue(e.entry.text)) {
      keys.insert(FromUtf8(KeyText(e.entry.text.key)));
    }
  }
  return keys;
}

// The checks of "lngtool check" on the catalog made, their lines moved to
// those of the file imported.
void CheckImported(const std::vector<uint8_t>& bytes, const std::map<uint32_t, uint32_t>& lines,
                   const ImportOptions& o, const std::vector<ProgramText>* texts,
                   const AnsiCodec& codec, ImportOutcome* outcome) {
  CatalogFile file(codec);
  file.Load(bytes);
  CheckReport report = CheckCatalog(file, texts, codec, o.codePage);
  CheckReport moved;
  moved.findings.reserve(report.findings.size());
  for (CheckFinding& f : report.findings) {
    if (f.what == Finding::kMarker) {
      continue;  // the catalog's own layout is lngtool's business
    }
    const auto line = lines.find(f.line);
    f.line = line != lines.end() ? line->second : 0;
    moved.findings.push_back(f);
  }
  outcome->checkErrors = moved.HasErrors();
  for (const CheckFinding& f : moved.findings) {
    outcome->errors += f.severity == Severity::kError ? 1 : 0;
  }
  outcome->messages += moved.Format(o.fileName);
}
}  // namespace

bool LooksLikeXml(const std::string& bytes) {
  size_t at = 0;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    at = 3;
  } else if (bytes.size() >= 4 &&
             (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
    // UTF-16: the first character's low byte comes first or second.
    return bytes[2] == '<' || bytes[3] == '<';
  }
  while (at < bytes.size() &&
         (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n')) {
    ++at;
  }
  return at < bytes.size() && bytes[at] == '<';
}

bool ReadTranslations(const std::string& bytes, TranslationFile* file, ReadError* error) {
  return LooksLikeXml(bytes) ? ReadXliff(bytes, file, error) : ReadPo(bytes, file, error);
}

bool ImportTranslations(const std::string& bytes, const ImportOptions& options,
                        const std::vector<ProgramText>* texts, const AnsiCodec& codec,
                        ImportOutcome* outcome) {
  TranslationFile file;
  ReadError error;
  if (!ReadTranslations(bytes, &file, &error)) {
    return Fail(options, error.line, error.message, outcome);
  }
  for (const std::string& w : file.warnings) {
    outcome->messages += options.fileName + ":" + w + "\n";
  }
  std::vector<Imported> entries;
  std::vector<Imported> obsolete;
  bool fine = true;
  for (const TranslationMessage& m : file.messages) {
    if (m.obsolete) {
      TakeObsolete(m, options, texts, codec, &obsolete, outcome);
      continue;
    }
    if (!m.translated) {
      ++outcome->untranslated;
      continue;
    }
    if (m.fuzzy && !options.useFuzzy) {
      ++outcome->fuzzy;
      continue;
    }
    Imported e;
    if (MakeEntry(m, options, texts, codec, &e, outcome)) {
      entries.push_back(std::move(e));
    } else {
      fine = false;
    }
  }
  if (!DropDuplicates(options, &entries, outcome) || !fine) {
    return false;
  }
  const std::vector<std::u16string> header =
      WithIdenticalKeys(ImportHeader(options, file), KeptAsEnglish(entries));
  std::vector<CatalogEntry> catalogEntries;
  std::map<uint32_t, uint32_t> lines;  // catalog line -> line of the file imported
  for (const Imported& e : entries) {
    // The header, the marker line, then a comment line and an entry line each.
    const auto entryLine = static_cast<uint32_t>(header.size() + 2 + 2 * catalogEntries.size() + 1);
    lines[entryLine] = e.line;
    catalogEntries.push_back(e.entry);
  }
  bool lossy = false;
  const std::vector<std::u16string> trailer = ObsoleteLines(ObsoleteOf(obsolete, entries));
  outcome->obsolete = static_cast<uint32_t>(obsolete.size());
  std::vector<uint8_t> catalog =
      EncodeCatalog(ComposeCatalog(header, catalogEntries, trailer), options.form, codec, &lossy);
  if (lossy) {
    return Fail(options, 0,
                "some characters have no form in code page " + std::to_string(options.codePage) +
                    "; write UTF-16 instead (leave out --ansi)",
                outcome);
  }
  outcome->taken = static_cast<uint32_t>(catalogEntries.size());
  CheckImported(catalog, lines, options, texts, codec, outcome);
  outcome->catalog = std::move(catalog);
  return true;
}

}  // namespace lngtool
