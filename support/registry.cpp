#include "support/registry.h"

#include "support/bounded_text.h"

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
