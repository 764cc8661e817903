// The language resource module (ztklng.dll) and the two module handles
// through which every resource is reached.
#pragma once
#include <cstddef>
#include <cstdint>

#include "support/bounded_text.h"

using ModuleHandle = void*;  // an HMODULE on Windows

// The program's own module; null before ResourceModule::Load.
extern ModuleHandle OwnModule;
// The language module while one is loaded, else OwnModule.
extern ModuleHandle ActiveModule;

class ResourceModule {
 public:
  ResourceModule() = default;
  ~ResourceModule() { Release(); }
  ResourceModule(const ResourceModule&) = delete;
  ResourceModule& operator=(const ResourceModule&) = delete;
  ResourceModule(ResourceModule&&) = delete;
  ResourceModule& operator=(ResourceModule&&) = delete;

  // path null: beside the program's own executable.
  void Load(ModuleHandle own, const char16_t* path);
  void Release();

  bool loaded = false;
};

// The one holder (services/process_frame.cpp).
extern ResourceModule& TheResourceModule;

// dst receives input, or the file of the same name in the "LanguageFolder"
// that HKEY_CURRENT_USER\Software\Zentak\General names, when it exists there.
// dst may be input itself.
void RedirectToLanguageFolder(const char16_t* input, char16_t* dst, size_t cap);

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
