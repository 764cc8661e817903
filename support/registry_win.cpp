#include <windows.h>

#include "support/bounded_text.h"
#include "support/registry.h"
#include "support/wide_bridge.h"

static_assert(sizeof(RegistryKey) == sizeof(HKEY), "a RegistryKey holds an HKEY");

namespace {
HKEY ToHkey(RegistryKey key) { return static_cast<HKEY>(key); }
}  // namespace

RegistryKey OpenRegistryKey(RegistryKey root, const char16_t* sub) {
  char16_t path[kFetchCapacity];  // a mapped key path is cut at 511 units
  MapProductKeyPath(root, sub, path, kFetchCapacity);
  HKEY key = nullptr;
  if (RegOpenKeyExW(ToHkey(root), AsWide(path), 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                    &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

namespace {
bool QueryRegistryString(RegistryKey root, const char16_t* sub, const char16_t* value,
                         char16_t* dst, uint32_t cap) {
  // No room for a terminator, or more than a DWORD byte count can offer.
  if (cap == 0 || cap > 0x7FFFFFFFu) {
    return false;
  }
  const RegistryKey key = OpenRegistryKey(root, sub);
  if (key == nullptr) {
    return false;
  }
  DWORD type = 0;  // received and ignored: the bytes are taken as UTF-16 text
  DWORD size = 2 * cap;
  const LSTATUS status = RegQueryValueExW(ToHkey(key), AsWide(value), nullptr, &type,
                                          reinterpret_cast<BYTE*>(dst), &size);
  CloseRegistryKey(key);
  if (status != ERROR_SUCCESS) {
    return false;
  }
  const DWORD units = size / 2;
  dst[units < cap - 1 ? units : cap - 1] = 0;
  return true;
}
}  // namespace

bool CloseRegistryKey(RegistryKey key) {
  return key != nullptr && RegCloseKey(ToHkey(key)) == ERROR_SUCCESS;
}

bool ReadRegistryString(RegistryKey root, const char16_t* sub, const char16_t* value, char16_t* dst,
                        const char16_t* defaultText, uint32_t cap) {
  if (QueryRegistryString(root, sub, value, dst, cap)) {
    return true;
  }
  CopyBounded(dst, defaultText != nullptr ? defaultText : u"", cap);
  return false;
}
