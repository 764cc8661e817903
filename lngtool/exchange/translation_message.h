// One message as the translators' formats (PO, XLIFF) carry it, and the
// label that names what a text is to the launcher in those formats. Texts are
// UTF-8, as both formats store them.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "localization/message_catalog.h"

namespace lngtool {

struct TranslationMessage {
  std::string id;           // the catalog key, as a stable name for tools
  std::string context;      // the label: "dialog LAUNCHDLG", "string", "scale INFODLG"
  std::string source;       // the English text
  std::string translation;  // meaningful only when translated
  bool translated = false;  // has a translation, possibly an empty one
  bool fuzzy = false;       // marked for review: left out unless asked for
  std::string previous;     // of a fuzzy one: the English text it translated
  std::string note;         // for the translator: what the text is
  std::string reference;    // where it is: "LAUNCHDLG:1", "STRINGTABLE:5101"
  uint32_t maxWidth = 0;    // room in characters of the dialog font; 0 unknown
  bool keepUnchanged = false;
  bool obsolete = false;  // of no text of the program: kept for reference ("#~" in PO)
  uint32_t line = 0;      // in the file read: where the translation stands
};

// A PO header field: "Last-Translator", "Jane Doe <jane@example.org>".
using HeaderField = std::pair<std::string, std::string>;

// What a file read held besides its messages.
struct TranslationFile {
  std::string language;  // BCP 47 tag, may be empty
  // Of a PO header: the fields lngtool does not write itself.
  std::vector<HeaderField> headerFields;
  std::vector<TranslationMessage> messages;
  std::vector<std::string> warnings;  // "line: warning: text" of what was left out
};

// A failure to read a file: the line it concerns (0: the whole file).
struct ReadError {
  uint32_t line = 0;
  std::string message;
};

// The label of a text: its kind as a word, then its context after a blank.
// A dialog's scale entry, whose English text is empty, is "scale NAME": an
// empty source cannot stand in PO, where the empty msgid is the header.
std::string ContextLabel(LookupKind kind, bool hasContext, const std::u16string& context,
                         bool scale);

struct ParsedLabel {
  LookupKind kind = kStringText;
  bool hasContext = false;
  std::u16string context;
  bool scale = false;
};
// False when the label names no kind.
bool ParseContextLabel(const std::string& label, ParsedLabel* parsed);

// The label a reference names, for files whose tools dropped the context
// (translate-toolkit's po2xliff does): "STRINGTABLE:5101" is a string,
// "NAME:scale" a dialog's scale, any other "NAME:..." a text of that dialog.
// Empty when the reference names none.
std::string LabelFromReference(const std::string& reference);

// The English text that stands for a scale entry.
extern const char kScaleSource[];

// Strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF); the
// byte offset of the first fault when not.
bool IsValidUtf8(const std::string& text, size_t* faultAt);

// Characters no translators' format can carry: controls other than TAB, LF
// and CR, U+FFFE, U+FFFF and unpaired surrogates. The first such, or npos.
size_t FindUncarried(const std::u16string& text);
// "U+000C".
std::string CodePointName(char16_t c);

}  // namespace lngtool
