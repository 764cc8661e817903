// Placeholder while the preview is written.
#include "tools/lngtool/lngtool_commands.h"

namespace lngtool {

int RunPreview(const PreviewRequest& /*request*/, std::string* /*out*/, std::string* err) {
  *err += "lngtool: preview is not available yet\n";
  return kExitFailure;
}

}  // namespace lngtool
