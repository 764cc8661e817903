// The native build has no modules and no string tables: Load only records the
// handle it is given.
#include "module/resource_module.h"

ModuleHandle OwnModule = nullptr;
ModuleHandle ActiveModule = nullptr;

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
