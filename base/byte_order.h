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

// Values stored little-endian, read on any host.
inline uint16_t ReadLittleEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadLittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(ReadLittleEndian16(p)) |
         (static_cast<uint32_t>(ReadLittleEndian16(p + 2)) << 16);
}
