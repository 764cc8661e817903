// The process-wide objects, all defined in this one translation unit because
// C++ orders dynamic initialisation only within a translation unit: here they
// are constructed in the order of their definitions, before the entry point,
// and destroyed in the reverse order at the normal exit. Each destructor is
// registered with the runtime's exit list right after its object's
// construction, so an exit-time step exists exactly when its object does.
// No other translation unit may use these objects during its own static
// initialisation.
#include "localization/message_catalog.h"
#include "services/crc32.h"
#include "services/error_reporter.h"
#include "support/resource_module.h"

namespace {
// 1. The CRC-32 tables: filled before anything can compute a key.
struct CrcTablesInitializer {
  CrcTablesInitializer() { InitCrcTables(); }
};
const CrcTablesInitializer crcTablesInitializer;
}  // namespace

// 2. The error reporter: no exit-time step.
ErrorReporter TheErrorReporter;
// 3. The resource module holder: its destructor is ResourceModule::Release.
ResourceModule TheResourceModule;
// 4. The catalog: its destructor frees the text and the line index.
MessageCatalog TheCatalog;
