// "lngtool export": the program's texts, with a catalog's translations, as a
// PO file, a POT template or an XLIFF 1.2 file, each text explained for the
// translator (what it is, where, how much room it has, what must stay).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_file.h"
#include "lngtool/exchange/translation_message.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

enum class ExportFormat : uint8_t { kPo, kPot, kXliff };

struct ExportOptions {
  ExportFormat format = ExportFormat::kPo;
  std::string language;    // BCP 47; empty: none (or the catalog's own)
  std::string moduleName;  // where the texts come from
  std::string revisionDate;
  bool keepIdentical = false;             // an entry equal to its English text counts as translated
  std::vector<HeaderField> headerFields;  // the PO header's kept fields (Last-Translator, ...)
};

// One message per key; the translation is the catalog's entry as its
// translator wrote it (escapes resolved), translated, fuzzy or not as
// StateOf tells (a fuzzy one carries its suggestion). line is the entry's
// line in the catalog (0: none). Entries the program has no text for are
// named in problems.
std::vector<TranslationMessage> ExportMessages(const std::vector<ProgramText>& texts,
                                               const CatalogFile* catalog,
                                               std::vector<std::string>* problems,
                                               bool keepIdentical = false);

// The catalog's entries of texts the program no longer has (left by merge,
// or live ones of no text), as obsolete messages named by their comment
// lines; those without such a comment, or duplicates, are named in problems.
std::vector<TranslationMessage> ObsoleteMessages(const std::vector<ProgramText>& texts,
                                                 const CatalogFile& catalog,
                                                 std::vector<std::string>* problems);

// gettext's tally of the messages (obsolete ones left out, as msgfmt does): "3 translated messages,
// 1 fuzzy translation, 2 untranslated messages.\n".
std::string TranslationStatistics(const std::vector<TranslationMessage>& messages);

// The document; false (with the reason in *messages) when a text holds a
// character the format cannot carry. Warnings also go to *messages.
bool ExportTranslations(const std::vector<ProgramText>& texts, const CatalogFile* catalog,
                        const ExportOptions& options, std::string* document, std::string* messages);

// gettext's ll_CC (and ll_CC.UTF-8) as BCP 47's ll-CC; other text unchanged.
std::string NormalizeLanguage(const std::string& tag);

// A BCP 47 tag's shape: a 2 to 8 letter language, then subtags of 1 to 8
// letters or digits, joined by hyphens.
bool IsLanguageTag(const std::string& tag);

// Now, as a PO header's revision date: "2026-12-08 14:40+0000".
std::string CurrentRevisionDate();

// The "; Language: TAG" line an imported catalog carries in its header.
std::string CatalogLanguage(const CatalogFile& catalog);

// The PO header fields an imported catalog keeps in its header, as
// "; PO-Header: NAME: VALUE" lines, and the lines for them.
extern const char kHeaderFieldPrefix[];
std::vector<HeaderField> CatalogHeaderFields(const CatalogFile& catalog);

}  // namespace lngtool
