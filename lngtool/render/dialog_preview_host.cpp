// The native build cannot create the launcher's dialogs; tools/lngtool-preview
// runs the Windows build of lngtool under Wine instead.
#include "lngtool/render/dialog_preview.h"

namespace lngtool {

int RunPreview(const PreviewRequest& /*request*/, std::string* /*out*/, std::string* err) {
  *err +=
      "lngtool: preview needs the Windows build of lngtool (tools/lngtool-preview runs it under "
      "Wine)\n";
  return kExitFailure;
}

}  // namespace lngtool
