// Gettext PO files: written for translators' tools, read back from them.
// The reader takes what those tools write (wrapped strings, comments of every
// kind, obsolete "#~" entries, entries with or without blank lines between)
// and refuses, with the line, anything it cannot read exactly.
#pragma once
#include <string>
#include <vector>

#include "lngtool/exchange/translation_message.h"

namespace lngtool {

struct PoHeader {
  std::string project;   // Project-Id-Version
  std::string language;  // empty in a template
  std::string revisionDate;
  bool isTemplate = false;          // a POT: no translations
  std::vector<HeaderField> fields;  // kept from an imported file (Last-Translator, ...)
};

// The header fields lngtool writes itself; a PO file's others are kept.
bool IsOwnHeaderField(const std::string& name);

std::string WritePo(const PoHeader& header, const std::vector<TranslationMessage>& messages);

// False with the error when the file cannot be read exactly; the messages
// then are not to be used.
bool ReadPo(const std::string& bytes, TranslationFile* file, ReadError* error);

// The flag that marks an empty translation, which PO otherwise cannot tell
// from none.
extern const char kEmptyTranslationFlag[];

}  // namespace lngtool
