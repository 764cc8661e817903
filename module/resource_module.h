// The language resource module (ztklng.dll) and the two module handles
// through which every resource is reached.
#pragma once
#include <cstddef>
#include <cstdint>

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
  // The loaded module was found through the user's language folder, so the
  // user may have written it.
  bool fromLanguageFolder = false;
};

// The one holder (launcher/process_frame.cpp).
extern ResourceModule& TheResourceModule;
