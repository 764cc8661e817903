#include "localization/catalog_edge.h"

#include "support/resource_module.h"
#include "support/system_calls.h"

bool ActiveModuleHasRtlDialog() { return Sys.hasDialogResource(ActiveModule, u"RTL"); }
