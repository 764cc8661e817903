// The preview: both dialogs rendered as the launcher shows them with a catalog.
#pragma once
#include <string>

#include "lngtool/render/dialog_sources.h"

namespace lngtool {

struct PreviewRequest : DialogSources {
  std::string outDir;
};

// Renders both dialogs to PNG files in outDir as the launcher would show them;
// only the Windows build can.
int RunPreview(const PreviewRequest& request, std::string* out, std::string* err);

}  // namespace lngtool
