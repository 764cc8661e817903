// String-table texts: from the right module, into a ring of eight buffers,
// through the message catalog.
#pragma once
#include <cstdint>

#include "base/bounded_text.h"

// A string-table text, already passed through the catalog, in the next of
// eight 512-unit buffers: valid until eight further fetches.
const char16_t* FetchString(int32_t id);

// The program's own string-table text, untranslated, in the next ring
// buffer: the built-in value where a translated one cannot be used.
const char16_t* FetchBuiltInString(int32_t id);

// The buffers FetchString hands out. The index advances before each fetch, so
// the first fetch after start uses buffer 1.
struct FetchRingBuffers {
  static constexpr uint32_t kCount = 8;
  char16_t text[kCount][kFetchCapacity];
  uint32_t index;
};
extern FetchRingBuffers FetchRing;
