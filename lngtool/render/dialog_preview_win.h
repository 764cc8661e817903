// What the preview and the layout check share: the launcher's modules and
// common controls set up as the launcher sets them up.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lngtool/render/layout_findings.h"

namespace lngtool {

// The loader takes a name with a backslash as the path itself.
std::u16string FullPath(const std::string& path);

// The program (strings, icon) and the dialogs' module (the language module,
// or the program) loaded as data and made the launcher's own and active
// modules; the link control's class registered.
bool PrepareLauncher(const std::string& programPath, const std::string& languageModule,
                     std::string* err);

// The controls the layout check finds fault with in the named dialog with the
// catalog of bytes, in the dialog's client coordinates. Leaves the launcher
// without a catalog.
std::vector<LayoutRect> LayoutFindingPlaces(const wchar_t* dialogName,
                                            const std::vector<uint8_t>& bytes);

}  // namespace lngtool
