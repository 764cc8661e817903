// Stand-in of the native build, which cannot create the launcher's dialogs.
#include "lngtool/render/dialog_layout_check.h"

namespace lngtool {

int RunLayout(const LayoutRequest& /*request*/, std::string* /*out*/, std::string* err) {
  return NeedsTheWindowsBuild("layout", err);
}

}  // namespace lngtool
