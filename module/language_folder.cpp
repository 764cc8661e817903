// The language-folder redirect: the user may point the program at a folder
// of language files through the registry.
#include "module/language_folder.h"

#include "base/bounded_text.h"
#include "base/file_system.h"
#include "base/path_text.h"
#include "base/system_calls.h"
#include "module/registry.h"
#include "module/resource_module.h"

namespace {
// The "LanguageFolder" text, read with at most bytes bytes; false when absent
// or larger.
bool ReadLanguageFolder(PlatformKey key, uint32_t bytes, char16_t* folder) {
  uint32_t size = bytes;
  if (Sys.regQueryValue(key, u"LanguageFolder", folder, &size) != regapi::kSuccess) {
    return false;
  }
  folder[size / 2] = 0;  // bytes never exceeds 2 * (kPathCapacity - 1)
  return true;
}

// folder, expanded, with the name part of input: false when the expansion or
// the joined path does not fit, which leaves no usable folder.
bool FormCandidate(const char16_t* folder, const char16_t* input, char16_t* candidate) {
  candidate[0] = 0;
  const uint32_t needed = Sys.expandEnvironmentStrings(folder, candidate, kPathCapacity);
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
  PlatformKey key = nullptr;
  if (Sys.regOpenKey(RegistryCurrentUser(), u"Software\\Zentak\\General", regapi::kQueryValue,
                     &key) != regapi::kSuccess) {
    return;
  }
  const size_t length = TextLength(input);
  const uint32_t bytes =
      length < kPathCapacity - 1 ? static_cast<uint32_t>(2 * (kPathCapacity - 1 - length)) : 0;
  char16_t folder[kPathCapacity];
  char16_t candidate[kPathCapacity];
  if (ReadLanguageFolder(key, bytes, folder) && FormCandidate(folder, input, candidate) &&
      PathExists(candidate)) {
    CopyBounded(dst, candidate, cap);
  }
  Sys.regCloseKey(key);
}
