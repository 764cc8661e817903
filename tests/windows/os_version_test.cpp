#include "support/os_version.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {
TEST(OsVersion, FirstCallFillsTheCacheFromThePlatform) {
  ASSERT_EQ(TheOsVersion.platformId, -1) << "nothing queried before";
  const uint32_t code = OsVersionCode();
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(TheOsVersion.platformId, static_cast<int32_t>(info.dwPlatformId));
  EXPECT_EQ(TheOsVersion.major, info.dwMajorVersion);
  EXPECT_EQ(TheOsVersion.minor, info.dwMinorVersion);
  EXPECT_EQ(code, info.dwMajorVersion * 256 + info.dwMinorVersion);
  EXPECT_GE(code, 0x0502u) << "Wine reports an NT system of 5.2 or later";
}

TEST(OsVersion, LaterCallsUseTheCache) {
  OsVersionCode();
  const OsVersionCache saved = TheOsVersion;
  const struct {
    int32_t platformId;
    uint32_t major, minor, code;
  } cases[] = {
      {2, 5, 1, 0x0501},  {2, 5, 2, 0x0502},  {2, 6, 0, 0x0600},
      {2, 10, 0, 0x0A00}, {1, 4, 10, 0x0501},  // not NT: always 5.1
      {0, 0, 0, 0x0501},
  };
  for (const auto& c : cases) {
    TheOsVersion = {c.platformId, c.major, c.minor};
    EXPECT_EQ(OsVersionCode(), c.code) << c.platformId << " " << c.major << "." << c.minor;
    EXPECT_EQ(OsVersionCode(), c.code) << "the cache is not queried again";
  }
  TheOsVersion = saved;
}
}  // namespace
