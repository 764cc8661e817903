// Every text the launcher passes through its catalog, read from the modules
// the launcher reads them from, with the key under which it looks each up.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "lngtool/program/pe_resources.h"
#include "localization/message_catalog.h"
#include "resources/resource_ids.h"

namespace lngtool {

// What a text is to the launcher; decides the buffer it is translated in.
enum class TextRole : uint8_t {
  kString,     // string-table text, translated in a 512-unit fetch buffer
  kTitle,      // dialog title, 1024 units
  kControl,    // control text, 1024 units
  kImageName,  // text of a bitmap or icon static: a resource name, not shown
  kScale,      // the dialog's scale entry (empty source)
  kDirection,  // the text direction entry
};

struct ProgramText {
  LookupKind kind = kStringText;
  bool hasContext = false;
  std::u16string context;
  std::u16string source;
  TextRole role = TextRole::kString;
  uint32_t id = 0;           // string id or control id (-1 as 0xFFFFFFFF)
  std::u16string className;  // of a control
  uint32_t style = 0;        // of a control
  int16_t width = 0;         // of a control, in dialog units (four to a character)
  int16_t height = 0;        // of a control, in dialog units (eight to a line)
  uint32_t key = 0;

  // The buffer the launcher translates this text in, terminator included.
  size_t Capacity() const;
  // Counts toward coverage: shown to the user and meant to be translated.
  bool Translatable() const;
};

constexpr uint16_t kFirstStringId = IDS_INSTALLER_NAME;
constexpr uint16_t kLastStringId = IDS_INFO_TEXT_LAST;
// The launcher's dialogs, the offer first: their template names, which are
// their texts' contexts. lngtool's preview and layout check show them in this
// order.
inline constexpr const char16_t* kDialogNames[] = {kOfferDialogName, kInfoDialogName};

// dialogs: the module whose dialog templates the launcher shows (the language
// module, or the program); strings: the program, whose English strings are
// the sources of every string key once a catalog is loaded (null: take them
// from dialogs too). Notes on anything missing go to problems.
std::vector<ProgramText> CollectProgramTexts(const PeModule& dialogs, const PeModule* strings,
                                             const AnsiCodec& codec,
                                             std::vector<std::string>* problems);

// The kind's byte as a name for people: "s", "$", "@".
const char* KindLetter(LookupKind kind);
// "s", "$", "@" or "string", "dialog", "menu"; -1 when unknown.
int ParseKind(const std::string& name);

}  // namespace lngtool
