// What the catalog needs from the resources: the right-to-left marker of the
// active module.
#pragma once

// ActiveModule holds a dialog resource named "RTL".
bool ActiveModuleHasRtlDialog();
