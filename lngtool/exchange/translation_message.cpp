#include "lngtool/exchange/translation_message.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "base/utf8.h"
#include "lngtool/io/text_form.h"
#include "localization/message_catalog.h"

namespace lngtool {

const char kScaleSource[] = "100*100";

namespace {
const char* KindWord(LookupKind kind) {
  const LookupKindName* name = FindLookupKindName(kind);
  return name != nullptr ? name->word : "menu";
}

}  // namespace

std::string ContextLabel(LookupKind kind, bool hasContext, const std::u16string& context,
                         bool scale) {
  std::string label = scale ? "scale" : KindWord(kind);
  if (hasContext) {
    label += " " + ToUtf8(context);
  }
  return label;
}

bool ParseContextLabel(const std::string& label, ParsedLabel* parsed) {
  const size_t blank = label.find(' ');
  const std::string word = label.substr(0, blank);
  *parsed = ParsedLabel();
  const auto named = std::find_if(std::begin(kLookupKindNames), std::end(kLookupKindNames),
                                  [&](const LookupKindName& k) { return word == k.word; });
  if (named != std::end(kLookupKindNames)) {
    parsed->kind = named->kind;
  } else if (word == "scale" && blank != std::string::npos) {
    parsed->kind = kDialogText;
    parsed->scale = true;
  } else {
    return false;
  }
  if (blank != std::string::npos) {
    parsed->hasContext = true;
    parsed->context = FromUtf8(label.substr(blank + 1));
  }
  return true;
}

std::string LabelFromReference(const std::string& reference) {
  const size_t colon = reference.find(':');
  if (colon == 0 || colon == std::string::npos) {
    return "";
  }
  const std::string name = reference.substr(0, colon);
  const std::string place = reference.substr(colon + 1);
  if (name == "STRINGTABLE") {
    return "string";
  }
  return (place == "scale" ? "scale " : "dialog ") + name;
}

bool IsValidUtf8(const std::string& text, size_t* faultAt) {
  return ::IsValidUtf8(text.data(), text.size(), faultAt);
}

size_t FindUncarried(const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
    const bool high = c >= 0xD800 && c < 0xDC00;
    const bool low = c >= 0xDC00 && c < 0xE000;
    if (control || c == 0xFFFE || c == 0xFFFF || low) {
      return i;
    }
    if (high) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) {
        return i;
      }
      ++i;
    }
  }
  return std::u16string::npos;
}

}  // namespace lngtool

namespace lngtool {

std::string CodePointName(char16_t c) {
  char name[8];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
  return name;
}

}  // namespace lngtool
