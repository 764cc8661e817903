// The commands of lngtool, free of the process: arguments in, the bytes for
// standard output and the messages for standard error out, and the exit code
// (0 fine, 1 the checked catalog has errors, 2 the command could not run).
#pragma once
#include <string>
#include <vector>

namespace lngtool {

constexpr int kExitFine = 0;
constexpr int kExitFindings = 1;
constexpr int kExitFailure = 2;

// defaultFolder: where Launcher.exe is looked for when no module is named
// (the folder of lngtool itself), with a trailing separator.
int RunLngtool(const std::vector<std::string>& args, const std::string& defaultFolder,
               std::string* out, std::string* err);

struct PreviewRequest {
  std::string catalog;
  std::string languageModule;  // empty: the program's own dialogs
  std::string program;         // Launcher.exe
  std::string outDir;
};

// Renders both dialogs to BMP files in outDir as the launcher would show them;
// only the Windows build can.
int RunPreview(const PreviewRequest& request, std::string* out, std::string* err);

struct LayoutRequest {
  std::string catalog;
  std::string languageModule;  // empty: the program's own dialogs
  std::string program;         // Launcher.exe
  bool fit = false;            // find each dialog's smallest clean scale entry
  bool write = false;          // and put it in the catalog
};

// Checks both dialogs with the catalog for texts that do not fit their
// controls and controls out of place; only the Windows build can.
int RunLayout(const LayoutRequest& request, std::string* out, std::string* err);

}  // namespace lngtool
