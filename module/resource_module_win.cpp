// Finding, loading and releasing the language module ztklng.dll.
#include <windows.h>

#include "base/bounded_text.h"
#include "base/own_path.h"
#include "base/path_text.h"
#include "base/wide_bridge.h"
#include "module/language_folder.h"
#include "module/resource_module.h"

ModuleHandle OwnModule = nullptr;
ModuleHandle ActiveModule = nullptr;

namespace {
constexpr char16_t kModuleName[] = u"ztklng.dll";

// The path where ztklng.dll is looked for: beside the program (or beside the
// path given), possibly redirected. False when that path cannot be formed
// whole; looking for a cut name could pick up an unrelated file. *redirected
// tells whether the language folder gave the path.
bool LocateLanguageModule(const char16_t* path, char16_t* located, bool* redirected) {
  if (path != nullptr) {
    if (TextLength(path) >= kPathCapacity) {
      return false;
    }
    CopyBounded(located, path, kPathCapacity);
  } else if (!OwnExecutablePath(located, kPathCapacity)) {
    return false;
  }
  if (!TextEqual(ReplaceNamePart(located, kModuleName, kPathCapacity), kModuleName)) {
    return false;
  }
  *redirected = RedirectToLanguageFolder(located, located, kPathCapacity);
  return true;
}

// The module may come from a folder the user can write: it is only ever
// mapped as resources, never loaded as code (which would run its entry point
// with the launcher's rights), on every system a 64-bit program runs on.
// Exclusive: nobody can change the file while it is mapped.
HMODULE LoadLanguageModule(const char16_t* path) {
  return LoadLibraryExW(AsWide(path), nullptr,
                        LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}
}  // namespace

void ResourceModule::Load(ModuleHandle own, const char16_t* path) {
  Release();
  char16_t located[kPathCapacity];
  bool redirected = false;
  const HMODULE module =
      LocateLanguageModule(path, located, &redirected) ? LoadLanguageModule(located) : nullptr;
  loaded = module != nullptr;
  fromLanguageFolder = loaded && redirected;
  OwnModule = own;
  ActiveModule = module != nullptr ? module : own;
}

void ResourceModule::Release() {
  if (!loaded) {
    return;
  }
  FreeLibrary(static_cast<HMODULE>(ActiveModule));
  ActiveModule = OwnModule;
  loaded = false;
  fromLanguageFolder = false;
}
