// The test build's hooks (ZTK_TEST_HOOKS, never set for the shipped program):
// start-up, flow and exit-time steps are appended as lines to the file that
// the environment variable ZTK_HOOK_LOG names, and the catalog's allocation
// function fails at its Nth call when ZTK_FAIL_ALLOC is N (the runtime's
// report of the abnormal end that follows then goes to standard error, never
// to a message box). Without hooks, ZTK_TEST_HOOK drops its statement,
// strings and all.
#pragma once

#if ZTK_TEST_HOOKS
#include <cstdint>

class MessageCatalog;
class ResourceModule;

void RecordStep(const char* step);
// "flow begin", with whether Crc32 already gives the standard check value.
void RecordFlowBegin();
void RecordFlowEnd(int32_t result);
// What the exit-time step about to run will free.
void RecordCatalogEnd(const MessageCatalog& catalog);
void RecordResourceModuleEnd(const ResourceModule& holder);
// Replaces CatalogRealloc when ZTK_FAIL_ALLOC holds a call number.
void InstallAllocationFailure();

#define ZTK_TEST_HOOK(statement) statement
#else
#define ZTK_TEST_HOOK(statement) static_cast<void>(0)
#endif
