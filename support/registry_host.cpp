// The native build has no registry: no key opens, so every read yields its
// default.
#include "support/bounded_text.h"
#include "support/registry.h"

RegistryKey OpenRegistryKey(RegistryKey, const char16_t*) { return nullptr; }

bool CloseRegistryKey(RegistryKey) { return false; }

bool ReadRegistryString(RegistryKey, const char16_t*, const char16_t*, char16_t* dst,
                        const char16_t* defaultText, uint32_t cap) {
  CopyBounded(dst, defaultText != nullptr ? defaultText : u"", cap);
  return false;
}
