#include <windows.h>

#include "support/os_version.h"

// GetVersionExW is marked deprecated, but its answer (the version the program
// is told it runs on) is exactly what the loading decision needs.
#if defined(_MSC_VER)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

void QueryOsVersion(OsVersionCache* cache) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  const BOOL ok = GetVersionExW(&info);
  // A failed query still fills the cache, as a non-NT answer: queried once.
  cache->platformId = ok ? static_cast<int32_t>(info.dwPlatformId) : 0;
  cache->major = info.dwMajorVersion;
  cache->minor = info.dwMinorVersion;
}
