#include "launcher/offer_text.h"

#include <initializer_list>

#include "base/bounded_text.h"

void ComposeInfoText(char16_t* text, const char16_t* (*fetch)(int32_t id)) {
  text[0] = 0;
  for (int32_t id = kInfoTextFirstId; id <= kInfoTextLastId; ++id) {
    AppendBounded(text, fetch(id), kDialogTextCapacity);
    AppendBounded(text, u" ", kDialogTextCapacity);
  }
}

namespace {
// Length of the "http://" or "https://" that begins text, compared without
// regard to case; 0 when it begins otherwise.
size_t WebSchemeLength(const char16_t* text) {
  for (const char16_t* scheme : {u"HTTP://", u"HTTPS://"}) {
    size_t i = 0;
    while (scheme[i] != 0 && UpperCaseChar(text[i]) == scheme[i]) ++i;
    if (scheme[i] == 0) return i;
  }
  return 0;
}
}  // namespace

bool IsFirstUsePage(const char16_t* text) { return WebSchemeLength(text) != 0; }

bool IsWebAddress(const char16_t* text) {
  const size_t scheme = WebSchemeLength(text);
  if (scheme == 0 || text[scheme] == 0) return false;
  for (const char16_t* c = text + scheme; *c != 0; ++c) {
    if (*c <= u' ' || *c == u'"' || *c == 0x7F) return false;
  }
  return true;
}
