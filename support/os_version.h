// The operating system's version, queried once and then kept for the life of
// the process.
#pragma once
#include <cstdint>

struct OsVersionCache {
  int32_t platformId = -1;  // -1 until the first query
  uint32_t major = 0;
  uint32_t minor = 0;
};

// The one cache; written without a lock (single thread).
extern OsVersionCache TheOsVersion;

// Fills the cache from the platform (GetVersionExW on Windows).
void QueryOsVersion(OsVersionCache* cache);

// major * 256 + minor on the NT platform (platform id 2), else 0x0501; never 0.
uint32_t OsVersionCode();
