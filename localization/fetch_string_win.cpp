// String-table texts: from the right module, into a ring of eight buffers,
// through the message catalog.
#include <windows.h>

#include "base/wide_bridge.h"
#include "localization/fetch_string.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

FetchRingBuffers FetchRing{};

namespace {
int LoadEntry(ModuleHandle module, int32_t id, char16_t* buffer) {
  return LoadStringW(static_cast<HMODULE>(module), static_cast<UINT>(id), AsWide(buffer),
                     static_cast<int>(kFetchCapacity));
}

// The next buffer of the ring, emptied.
char16_t* NextRingBuffer() {
  FetchRing.index = FetchRing.index + 1 >= FetchRingBuffers::kCount ? 0 : FetchRing.index + 1;
  char16_t* buffer = FetchRing.text[FetchRing.index];
  buffer[0] = 0;
  return buffer;
}
}  // namespace

const char16_t* FetchString(int32_t id) {
  char16_t* buffer = NextRingBuffer();
  // A loaded catalog translates the program's own English texts, so the
  // language module's entries are not used then; without one, a missing or
  // empty entry there falls back to the program's own.
  if (TheCatalog.IsLoaded() || LoadEntry(ActiveModule, id, buffer) == 0) {
    LoadEntry(OwnModule, id, buffer);
  }
  TheCatalog.Translate(buffer, buffer, kFetchCapacity, kStringText, nullptr);
  return buffer;
}

const char16_t* FetchBuiltInString(int32_t id) {
  char16_t* buffer = NextRingBuffer();
  LoadEntry(OwnModule, id, buffer);
  return buffer;
}
