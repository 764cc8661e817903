// The host's byte order, asked without assuming it: file formats here are
// little-endian, and only a big-endian host has to turn their units.
#pragma once
#include <cstdint>
#include <cstring>

inline bool HostIsLittleEndian() {
  const uint16_t one = 1;
  unsigned char low = 0;
  std::memcpy(&low, &one, 1);
  return low == 1;
}
