#include <windows.h>

#include "localization/catalog_edge.h"
#include "support/resource_module.h"
#include "support/wide_bridge.h"

bool OwnExecutablePath(char16_t* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  dst[0] = 0;
  const DWORD size = cap > MAXDWORD ? MAXDWORD : static_cast<DWORD>(cap);
  const DWORD got = GetModuleFileNameW(nullptr, AsWide(dst), size);
  // A path that filled the buffer was cut (and may lack its terminator).
  if (got == 0 || got >= size) {
    dst[0] = 0;
    return false;
  }
  return true;
}

bool ActiveModuleHasRtlDialog() {
  return FindResourceW(static_cast<HMODULE>(ActiveModule), L"RTL", MAKEINTRESOURCEW(5)) != nullptr;
}
