// Finding, loading and releasing the language module ztklng.dll.
#include <windows.h>

#include "localization/catalog_edge.h"
#include "support/bounded_text.h"
#include "support/file_system.h"
#include "support/path_text.h"
#include "support/resource_module.h"
#include "support/wide_bridge.h"

ModuleHandle OwnModule = nullptr;
ModuleHandle ActiveModule = nullptr;

namespace {
constexpr char16_t kModuleName[] = u"ztklng.dll";

// The path where ztklng.dll is looked for: beside the program (or beside the
// path given), possibly redirected. False when that path cannot be formed
// whole; looking for a cut name could pick up an unrelated file.
bool LocateLanguageModule(const char16_t* path, char16_t* located) {
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
  RedirectToLanguageFolder(located, located, kPathCapacity);
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

// The "LanguageFolder" text, read with at most bytes bytes; false when absent
// or larger.
bool ReadLanguageFolder(HKEY key, DWORD bytes, char16_t* folder) {
  DWORD size = bytes;
  if (RegQueryValueExW(key, L"LanguageFolder", nullptr, nullptr, reinterpret_cast<BYTE*>(folder),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  folder[size / 2] = 0;  // bytes never exceeds 2 * (kPathCapacity - 1)
  return true;
}

// folder, expanded, with the name part of input: false when the expansion or
// the joined path does not fit, which leaves no usable folder.
bool FormCandidate(const char16_t* folder, const char16_t* input, char16_t* candidate) {
  candidate[0] = 0;
  const DWORD needed = ExpandEnvironmentStringsW(AsWide(folder), AsWide(candidate), kPathCapacity);
  if (needed == 0 || needed > kPathCapacity) {
    return false;
  }
  AppendBackslash(candidate, kPathCapacity);
  const char16_t* name = FindNamePart(input);
  if (TextLength(candidate) + TextLength(name) >= kPathCapacity) {
    return false;
  }
  AppendBounded(candidate, name, kPathCapacity);
  return true;
}
}  // namespace

void RedirectToLanguageFolder(const char16_t* input, char16_t* dst, size_t cap) {
  if (dst != input) {
    CopyBounded(dst, input, cap);
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Zentak\\General", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  const size_t length = TextLength(input);
  const DWORD bytes =
      length < kPathCapacity - 1 ? static_cast<DWORD>(2 * (kPathCapacity - 1 - length)) : 0;
  char16_t folder[kPathCapacity];
  char16_t candidate[kPathCapacity];
  if (ReadLanguageFolder(key, bytes, folder) && FormCandidate(folder, input, candidate) &&
      PathExists(candidate)) {
    CopyBounded(dst, candidate, cap);
  }
  RegCloseKey(key);
}

void ResourceModule::Load(ModuleHandle own, const char16_t* path) {
  Release();
  char16_t located[kPathCapacity];
  const HMODULE module =
      LocateLanguageModule(path, located) ? LoadLanguageModule(located) : nullptr;
  loaded = module != nullptr;
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
}
