#include "support/os_version.h"

OsVersionCache TheOsVersion;

uint32_t OsVersionCode() {
  if (TheOsVersion.platformId == -1) {
    QueryOsVersion(&TheOsVersion);
  }
  constexpr int32_t kPlatformNt = 2;
  if (TheOsVersion.platformId != kPlatformNt) {
    return 0x0501;
  }
  return TheOsVersion.major * 256 + TheOsVersion.minor;
}
