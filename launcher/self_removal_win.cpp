// The self-removal: the launcher cannot delete its own running file, so a
// hidden interpreter runs the uninstaller and then deletes it.
#include <windows.h>

#include "base/bounded_text.h"
#include "base/environment.h"
#include "base/file_system.h"
#include "base/own_path.h"
#include "base/wide_bridge.h"
#include "launcher/installer_and_cleanup.h"
#include "launcher/self_removal.h"

bool SelfRemoval() {
  RemoveFile(u"launcher.lng");
  char16_t ownPath[kPathCapacity];
  // A cut path names another file, which the command would delete.
  if (!OwnExecutablePath(ownPath, kPathCapacity)) {
    return false;
  }
  char16_t interpreter[kPathCapacity];
  ReadEnvironmentText(u"COMSPEC", interpreter, static_cast<uint32_t>(kPathCapacity));
  char16_t commandLine[kCleanupCommandCapacity];
  if (!FormatCleanupCommand(commandLine, interpreter, ownPath)) {
    return false;
  }

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  // The handles stay open: the launcher's exit, right after this, closes them.
  PROCESS_INFORMATION process = {};
  return CreateProcessW(nullptr, AsWide(commandLine), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process) != FALSE;
}
