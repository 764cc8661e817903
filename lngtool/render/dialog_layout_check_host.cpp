// The native build cannot create the launcher's dialogs; tools/lngtool-layout
// runs the Windows build of lngtool under Wine instead.
#include "lngtool/render/dialog_layout_check.h"

namespace lngtool {

int RunLayout(const LayoutRequest& /*request*/, std::string* /*out*/, std::string* err) {
  *err +=
      "lngtool: layout needs the Windows build of lngtool (tools/lngtool-layout runs it under "
      "Wine)\n";
  return kExitFailure;
}

}  // namespace lngtool
