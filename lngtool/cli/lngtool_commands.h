// The commands of lngtool, free of the process: arguments in, the bytes for
// standard output and the messages for standard error out, and the exit code.
#pragma once
#include <string>
#include <vector>

#include "lngtool/io/exit_codes.h"

namespace lngtool {

// defaultFolder: where Launcher.exe is looked for when no module is named
// (the folder of lngtool itself), with a trailing separator.
int RunLngtool(const std::vector<std::string>& args, const std::string& defaultFolder,
               std::string* out, std::string* err);

}  // namespace lngtool
