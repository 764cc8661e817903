#include "launcher/installer_and_cleanup.h"

#include "base/bounded_text.h"
#include "base/path_text.h"

namespace {
// Without a blank between the uninstaller and its switch, as the uninstaller
// has always been called.
constexpr char16_t kCleanupFormat[] = u"%s /c .\\uninstall.exe/wait & del \"%s\"";
// The format's own units, both "%s" left out.
constexpr size_t kCleanupFixedLength = sizeof(kCleanupFormat) / sizeof(char16_t) - 1 - 4;
}  // namespace

const char16_t* ChooseInstallerName(const char16_t* fetched, const char16_t* builtIn) {
  if (IsPlainFileName(fetched)) return fetched;
  return IsPlainFileName(builtIn) ? builtIn : nullptr;
}

bool ComposeInstallerPath(char16_t* path, const char16_t* installerName) {
  if (installerName == nullptr) {
    path[0] = 0;
    return false;
  }
  const size_t folderLength = static_cast<size_t>(FindNamePart(path) - path);
  if (folderLength + TextLength(installerName) >= kPathCapacity) {
    path[0] = 0;
    return false;
  }
  ReplaceNamePart(path, installerName, kPathCapacity);
  return true;
}

bool FormatCleanupCommand(char16_t* dst, const char16_t* interpreter, const char16_t* ownPath) {
  dst[0] = 0;
  if (interpreter[0] == 0) {
    return false;
  }
  if (kCleanupFixedLength + TextLength(interpreter) + TextLength(ownPath) >=
      kCleanupCommandCapacity) {
    return false;
  }
  FormatBounded(dst, kCleanupCommandCapacity, kCleanupFormat, interpreter, ownPath);
  return true;
}
