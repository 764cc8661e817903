// The process-wide objects and the one initialiser that brings them up.
//
// Start-up order is the body of ProcessFrame's constructor below, not the
// order of definitions: the objects live in slots whose own construction and
// destruction do nothing, and the frame constructs each object in turn. The
// names the rest of the system uses (TheErrorReporter, ...) are references
// bound to those slots at compile time, so they are valid before any dynamic
// initialisation and no other translation unit's initialisation can depend on
// an order here. No other translation unit of the launcher has dynamic
// initialisation at all; a test of the Windows build checks that.
//
// Exit-time steps are registered explicitly with atexit, by the frame, right
// after the object they end is constructed. The runtime's implicit destructor
// registration would do the same, but only as a side effect of where an object
// is defined; an explicit call shows in one place which steps exist, when they
// are registered, and so (reversed) in which order they run at exit. A step
// that could not be registered is lost silently: the end of the process
// releases the catalog's memory and the language module anyway.
#include <cstdlib>
#include <new>

#include "base/crc32.h"
#include "base/error_reporter.h"
#include "launcher/test_hooks.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace {
// Storage for one process-wide object. The empty destructor keeps the
// runtime from ending the object: its exit-time step does that. (The runtime
// still registers the empty destructor; it runs after the steps and does
// nothing.)
template <typename T>
union ProcessSlot {
  constexpr ProcessSlot() : none() {}
  ~ProcessSlot() {}
  ProcessSlot(const ProcessSlot&) = delete;
  ProcessSlot(ProcessSlot&&) = delete;
  ProcessSlot& operator=(const ProcessSlot&) = delete;
  ProcessSlot& operator=(ProcessSlot&&) = delete;
  char none;
  T object;
};

ProcessSlot<ErrorReporter> reporterSlot;
ProcessSlot<ResourceModule> resourceModuleSlot;
ProcessSlot<MessageCatalog> catalogSlot;
}  // namespace

ErrorReporter& TheErrorReporter = reporterSlot.object;
ResourceModule& TheResourceModule = resourceModuleSlot.object;
MessageCatalog& TheCatalog = catalogSlot.object;

namespace {
// Exit step 1: the catalog's text and line index are freed.
void EndCatalog() {
  ZTK_TEST_HOOK(RecordCatalogEnd(TheCatalog));
  TheCatalog.~MessageCatalog();
}

// Exit step 2: ResourceModule::Release, by the holder's destructor; resources
// come from OwnModule again.
void EndResourceModule() {
  ZTK_TEST_HOOK(RecordResourceModuleEnd(TheResourceModule));
  TheResourceModule.~ResourceModule();
}

// Construction makes no platform call and cannot fail.
struct ProcessFrame {
  ProcessFrame() {
    InitCrcTables();
    ZTK_TEST_HOOK(RecordStep("construct crc-tables"));
    new (&reporterSlot.object) ErrorReporter();
    ZTK_TEST_HOOK(RecordStep("construct error-reporter"));
    new (&resourceModuleSlot.object) ResourceModule();
    std::atexit(EndResourceModule);
    ZTK_TEST_HOOK(RecordStep("construct resource-module"));
    new (&catalogSlot.object) MessageCatalog();
    std::atexit(EndCatalog);
    ZTK_TEST_HOOK(RecordStep("construct catalog"));
    ZTK_TEST_HOOK(InstallAllocationFailure());
  }
};

// The only dynamic initialiser of the launcher's own code.
const ProcessFrame frame;
}  // namespace
