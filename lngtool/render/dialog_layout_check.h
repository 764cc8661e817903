// The layout check: texts that do not fit their controls, controls out of place.
#pragma once
#include <string>

#include "lngtool/io/exit_codes.h"

namespace lngtool {

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
