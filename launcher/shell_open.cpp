#include "launcher/shell_open.h"

#include "base/system_calls.h"

void OpenAsUser(const char16_t* target, ShellShow show) {
  // Without a desktop shell nothing is opened: the launcher's own shell call
  // would read the user's file classes with administrator rights.
  Sys.openWithDesktopShell(target,
                           show == ShellShow::kShow ? procapi::kShow : procapi::kShowNormal);
}
