// The preview: both dialogs rendered as the launcher shows them with a catalog.
#pragma once
#include <string>

#include "lngtool/io/exit_codes.h"

namespace lngtool {

struct PreviewRequest {
  std::string catalog;
  std::string languageModule;  // empty: the program's own dialogs
  std::string program;         // Launcher.exe
  std::string outDir;
};

// Renders both dialogs to PNG files in outDir as the launcher would show them;
// only the Windows build can.
int RunPreview(const PreviewRequest& request, std::string* out, std::string* err);

}  // namespace lngtool
