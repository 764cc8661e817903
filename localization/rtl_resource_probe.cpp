#include "localization/rtl_resource_probe.h"

#include "base/system_calls.h"
#include "module/resource_module.h"

bool ActiveModuleHasRtlDialog() { return Sys.hasDialogResource(ActiveModule, u"RTL"); }
