// The preview: both dialogs rendered as the launcher shows them with a catalog.
#pragma once
#include <string>
#include <vector>

#include "lngtool/render/dialog_sources.h"

namespace lngtool {

struct PreviewRequest : DialogSources {
  std::string outDir;
};

// Where each catalog's pictures go: outDir itself for one catalog; for
// several, a folder in outDir for each, named after the catalog's file
// without its ending, or after the folder holding it where catalogs share a
// file name (lang/de/launcher.lng and lang/fr/launcher.lng: de, fr). Empty
// when two would still share a folder.
std::vector<std::string> PreviewFolders(const std::string& outDir,
                                        const std::vector<std::string>& catalogs);

// Renders both dialogs with each catalog to PNG files in its folder as the
// launcher would show them; only the Windows build can.
int RunPreview(const PreviewRequest& request, std::string* out, std::string* err);

}  // namespace lngtool
