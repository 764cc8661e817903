// XLIFF 1.2 files: written for the translators' CAT tools, read back from
// them with the system's XML parser.
#pragma once
#include <string>
#include <vector>

#include "lngtool/exchange/translation_message.h"

namespace lngtool {

struct XliffHeader {
  std::string original;        // the module the texts come from
  std::string targetLanguage;  // BCP 47, may be empty
};

std::string WriteXliff(const XliffHeader& header, const std::vector<TranslationMessage>& messages);

// False with the error when the file is not XLIFF 1.x that can be read
// exactly (inline markup in a source or target cannot be carried into the
// catalog, so it is refused).
bool ReadXliff(const std::string& bytes, TranslationFile* file, ReadError* error);

}  // namespace lngtool
