// What the exchange fuzzers hold a reader to: a broken promise aborts, so
// that libFuzzer keeps the input.
#pragma once
#include <cstdlib>

#include "lngtool/exchange/translation_message.h"

inline void Check(bool holds) {
  if (!holds) std::abort();
}

// A message read back from what lngtool wrote of it; the translation counts
// only when there is one, the reference only where the format carries it.
inline bool SameMessage(const lngtool::TranslationMessage& a, const lngtool::TranslationMessage& b,
                        bool withReference) {
  return a.context == b.context && a.source == b.source && a.translated == b.translated &&
         (!a.translated || a.translation == b.translation) && a.fuzzy == b.fuzzy &&
         (!withReference || a.reference == b.reference);
}
