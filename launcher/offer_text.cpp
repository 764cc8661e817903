#include "launcher/offer_text.h"

#include "support/bounded_text.h"

void ComposeInfoText(char16_t* text, const char16_t* (*fetch)(int32_t id)) {
  text[0] = 0;
  for (int32_t id = kInfoTextFirstId; id <= kInfoTextLastId; ++id) {
    AppendBounded(text, fetch(id), kDialogTextCapacity);
    AppendBounded(text, u" ", kDialogTextCapacity);
  }
}

bool IsFirstUsePage(const char16_t* text) {
  static constexpr char16_t kPrefix[] = u"http://";
  for (size_t i = 0; kPrefix[i] != 0; ++i) {
    if (text[i] != kPrefix[i]) return false;  // also stops at a shorter text's terminator
  }
  return true;
}
