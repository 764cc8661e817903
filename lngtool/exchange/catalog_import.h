// "lngtool import": a PO or XLIFF file made into launcher.lng, keyed with the
// launcher's own key function and checked as "lngtool check" checks, every
// finding given at the line of the PO or XLIFF file it concerns.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/exchange/translation_message.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

// Told by the content: XLIFF when the first thing in it is a '<'.
bool LooksLikeXml(const std::string& bytes);

// PO or XLIFF, as the content says.
bool ReadTranslations(const std::string& bytes, TranslationFile* file, ReadError* error);

struct ImportOptions {
  std::string fileName;  // of the PO or XLIFF file, for messages
  FileForm form = FileForm::kUtf16;
  bool useFuzzy = false;
  uint32_t codePage = 1252;  // names the code page in messages
};

struct ImportOutcome {
  std::vector<uint8_t> catalog;  // the file to write; empty when failed
  std::string messages;          // "file:line: severity: text" lines
  bool checkErrors = false;      // the checks found errors
  uint32_t taken = 0;
  uint32_t untranslated = 0;
  uint32_t fuzzy = 0;     // left out
  uint32_t obsolete = 0;  // obsolete messages kept as the catalog's obsolete entries
  uint32_t errors = 0;    // of reading or of the checks
};

// texts: the program's texts (null when no module was read): they name the
// entries in the catalog's comments and are what the checks compare with.
// False when the file cannot be made into a catalog (nothing is to be written).
bool ImportTranslations(const std::string& bytes, const ImportOptions& options,
                        const std::vector<ProgramText>* texts, const AnsiCodec& codec,
                        ImportOutcome* outcome);

}  // namespace lngtool
