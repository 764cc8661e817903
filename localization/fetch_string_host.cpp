// The native build has no string tables: every fetched text is empty.
#include "localization/fetch_string.h"

FetchRingBuffers FetchRing{};

const char16_t* FetchString(int32_t) {
  FetchRing.index = FetchRing.index + 1 >= FetchRingBuffers::kCount ? 0 : FetchRing.index + 1;
  char16_t* buffer = FetchRing.text[FetchRing.index];
  buffer[0] = 0;
  return buffer;
}
