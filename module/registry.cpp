#include "module/registry.h"

#include "base/bounded_text.h"
#include "base/system_calls.h"

namespace {
// The predefined keys are 32-bit negative values, sign-extended to the width
// of a pointer.
RegistryKey PredefinedKey(int32_t value) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): these handles are integers by definition
  return reinterpret_cast<RegistryKey>(static_cast<intptr_t>(value));
}
}  // namespace

RegistryKey RegistryCurrentUser() { return PredefinedKey(static_cast<int32_t>(0x80000001u)); }
RegistryKey RegistryLocalMachine() { return PredefinedKey(static_cast<int32_t>(0x80000002u)); }

bool MapProductKeyPath(RegistryKey root, const char16_t* sub, char16_t* dst, size_t cap) {
  if (root != RegistryCurrentUser()) {
    CopyBounded(dst, sub, cap);
  } else if (sub[0] == u'\\') {
    CopyBounded(dst, sub + 1, cap);  // an escape to any key of the user's hive
  } else {
    FormatBounded(dst, cap, u"Software\\Zentak%s%s", sub[0] != 0 ? u"\\" : u"", sub);
  }
  return true;
}

RegistryKey OpenRegistryKey(RegistryKey root, const char16_t* sub) {
  char16_t path[kFetchCapacity];  // a mapped key path is cut at 511 units
  MapProductKeyPath(root, sub, path, kFetchCapacity);
  PlatformKey key = nullptr;
  if (Sys.regOpenKey(root, path, regapi::kQueryValue | regapi::kEnumerateSubKeys, &key) !=
      regapi::kSuccess) {
    return nullptr;
  }
  return key;
}

bool CloseRegistryKey(RegistryKey key) {
  return key != nullptr && Sys.regCloseKey(key) == regapi::kSuccess;
}

namespace {
bool QueryRegistryString(RegistryKey root, const char16_t* sub, const char16_t* value,
                         char16_t* dst, uint32_t cap) {
  // No room for a terminator, or more than a 32-bit byte count can offer.
  if (cap == 0 || cap > 0x7FFFFFFFu) {
    return false;
  }
  const RegistryKey key = OpenRegistryKey(root, sub);
  if (key == nullptr) {
    return false;
  }
  // The type is not asked: the bytes are taken as UTF-16 text.
  uint32_t size = 2 * cap;
  const int32_t status = Sys.regQueryValue(key, value, dst, &size);
  CloseRegistryKey(key);
  if (status != regapi::kSuccess) {
    return false;
  }
  const uint32_t units = size / 2;
  dst[units < cap - 1 ? units : cap - 1] = 0;
  return true;
}
}  // namespace

bool ReadRegistryString(RegistryKey root, const char16_t* sub, const char16_t* value, char16_t* dst,
                        const char16_t* defaultText, uint32_t cap) {
  if (QueryRegistryString(root, sub, value, dst, cap)) {
    return true;
  }
  CopyBounded(dst, defaultText != nullptr ? defaultText : u"", cap);
  return false;
}
