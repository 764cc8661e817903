// What the preview and the layout check share on every build: the files both
// dialogs are made from, and the answer of a build that cannot make them.
#pragma once
#include <string>
#include <vector>

#include "lngtool/io/exit_codes.h"

namespace lngtool {

struct DialogSources {
  std::vector<std::string> catalogs;
  std::string languageModule;  // empty: the program's own dialogs
  std::string program;         // Launcher.exe
};

// The native build cannot create the launcher's dialogs; the wrapper
// tools/lngtool-COMMAND runs the Windows build of lngtool under Wine instead.
inline int NeedsTheWindowsBuild(const std::string& command, std::string* err) {
  *err += "lngtool: " + command + " needs the Windows build of lngtool (tools/lngtool-" + command +
          " runs it under Wine)\n";
  return kExitFailure;
}

}  // namespace lngtool
