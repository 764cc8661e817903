// The whole life of the launcher: the body of the GUI entry point.
#pragma once
#include "base/bounded_text.h"
#include "module/resource_module.h"

// Full path of the partner installer; written once by OfferFlow.
extern char16_t InstallerPath[kPathCapacity];
// The icon group "ZTKICON" (an HICON), or null.
extern void* LauncherIcon;

int OfferFlow(ModuleHandle own);
void HardenDllSearchPath();
