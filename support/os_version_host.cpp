// The native build has no Windows version; it answers as a current NT system.
#include "support/os_version.h"

void QueryOsVersion(OsVersionCache* cache) {
  cache->platformId = 2;
  cache->major = 10;
  cache->minor = 0;
}
