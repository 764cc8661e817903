// The self-removal: the launcher cannot delete its own running file, so a
// hidden interpreter runs the uninstaller and then deletes it.
#include "launcher/self_removal.h"

#include "base/bounded_text.h"
#include "base/file_system.h"
#include "base/own_path.h"
#include "base/path_text.h"
#include "base/system_calls.h"
#include "launcher/installer_and_cleanup.h"

namespace {
constexpr char16_t kInterpreterName[] = u"\\cmd.exe";
constexpr char16_t kCatalogName[] = u"launcher.lng";

// The system's own interpreter. No variable the user can set moves the
// system folder (COMSPEC would: it is the user's to write), and a full
// application name is not searched for. False, with dst empty, when the
// folder is unknown or the path would not fit.
bool SystemInterpreterPath(char16_t* dst) {
  const uint32_t length = Sys.getSystemDirectory(dst, static_cast<uint32_t>(kPathCapacity));
  if (length == 0 || length + TextLength(kInterpreterName) >= kPathCapacity) {
    dst[0] = 0;
    return false;
  }
  AppendBounded(dst, kInterpreterName, kPathCapacity);
  return true;
}
}  // namespace

bool SelfRemoval() {
  char16_t ownPath[kPathCapacity];
  // A cut path names another file, which the command would delete.
  if (!OwnExecutablePath(ownPath, kPathCapacity)) {
    return false;
  }
  char16_t catalog[kPathCapacity];
  CopyBounded(catalog, ownPath, kPathCapacity);
  if (TextEqual(ReplaceNamePart(catalog, kCatalogName, kPathCapacity), kCatalogName)) {
    RemoveFile(catalog);
  }
  // The clean-up's ".\uninstall.exe" must be the one beside the launcher: a
  // folder that cannot be its current directory starts nothing.
  char16_t folder[kPathCapacity];
  if (!FolderOfFile(ownPath, folder)) {
    return false;
  }
  char16_t interpreter[kPathCapacity];
  if (!SystemInterpreterPath(interpreter)) {
    return false;
  }
  char16_t commandLine[kCleanupCommandCapacity];
  if (!FormatCleanupCommand(commandLine, interpreter, ownPath)) {
    return false;
  }
  // The handles stay open: the launcher's exit, right after this, closes them.
  // Nothing is inherited: the setup's handles are none of the clean-up's.
  ProcessHandles started{};
  return Sys.createProcess(interpreter, commandLine, false, procapi::kShowHide, folder, &started);
}
