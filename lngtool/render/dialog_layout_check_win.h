// What the layout check offers the preview.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "lngtool/render/launcher_host_win.h"
#include "localization/dialog_layout.h"

namespace lngtool {

// The controls the layout check finds fault with in the dialog with the
// catalog of bytes, in the dialog's client coordinates. Leaves the launcher
// without a catalog.
std::vector<LayoutRect> LayoutFindingPlaces(const LauncherDialog& dialog,
                                            const std::vector<uint8_t>& bytes);

}  // namespace lngtool
