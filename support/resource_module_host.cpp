// The native build has no modules and no string tables: Load only records the
// handle it is given, and every fetched text is empty.
#include "support/resource_module.h"

ModuleHandle OwnModule = nullptr;
ModuleHandle ActiveModule = nullptr;
FetchRingBuffers FetchRing{};

void ResourceModule::Load(ModuleHandle own, const char16_t*) {
  Release();
  OwnModule = own;
  ActiveModule = own;
  loaded = false;
}

void ResourceModule::Release() {
  if (!loaded) {
    return;
  }
  ActiveModule = OwnModule;
  loaded = false;
}

const char16_t* FetchString(int32_t) {
  FetchRing.index = FetchRing.index + 1 >= FetchRingBuffers::kCount ? 0 : FetchRing.index + 1;
  char16_t* buffer = FetchRing.text[FetchRing.index];
  buffer[0] = 0;
  return buffer;
}
