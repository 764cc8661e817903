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
  if (needed == 0 || needed > kPathCapacity || !IsLocalFolder(candidate)) {
    candidate[0] = 0;
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
bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
}  // namespace

bool IsLocalFolder(const char16_t* folder) {
  if (!IsDriveLetter(folder[0]) || folder[1] != u':' || (folder[2] != u'\\' && folder[2] != u'/')) {
    return false;
  }
  const char16_t root[] = {folder[0], u':', u'\\', 0};
  // An unknown drive or one without a root holds no language files either.
  const uint32_t type = Sys.getDriveType(root);
  return type != fileapi::kDriveRemote && type != fileapi::kDriveUnknown &&
         type != fileapi::kDriveNoRootDir;
}

bool RedirectToLanguageFolder(const char16_t* input, char16_t* dst, size_t cap) {
  if (dst != input) {
    CopyBounded(dst, input, cap);
  }
  PlatformKey key = nullptr;
  if (Sys.regOpenKey(RegistryCurrentUser(), u"Software\\Zentak\\General", regapi::kQueryValue,
                     &key) != regapi::kSuccess) {
    return false;
  }
  const size_t length = TextLength(input);
  const uint32_t bytes =
      length < kPathCapacity - 1 ? static_cast<uint32_t>(2 * (kPathCapacity - 1 - length)) : 0;
  char16_t folder[kPathCapacity];
  char16_t candidate[kPathCapacity];
  const bool redirected = ReadLanguageFolder(key, bytes, folder) &&
                          FormCandidate(folder, input, candidate) && PathExists(candidate);
  if (redirected) {
    CopyBounded(dst, candidate, cap);
  }
  Sys.regCloseKey(key);
  return redirected;
}
