// Stand-in of the native build, which cannot create the launcher's dialogs.
#include "lngtool/render/dialog_preview.h"

namespace lngtool {

int RunPreview(const PreviewRequest& /*request*/, std::string* /*out*/, std::string* err) {
  return NeedsTheWindowsBuild("preview", err);
}

}  // namespace lngtool
