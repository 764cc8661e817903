// Slicing by 8: eight tables let one step fold eight bytes with eight table
// reads. The body reads aligned words, so the head first walks the data to an
// 8-byte boundary byte by byte; the tail finishes what is left.
#include "base/crc32.h"

#include <cstddef>
#include <cstring>

#include "base/byte_order.h"

uint32_t CrcTables[8][256];

namespace {
constexpr uint32_t kPolynomial = 0xEDB88320u;

// The body's words are little-endian by definition; memcpy keeps the load
// free of aliasing and alignment assumptions and compiles to one move.
inline uint32_t LoadLittle32(const unsigned char* p) {
  uint32_t word = 0;
  std::memcpy(&word, p, sizeof word);
  if (!HostIsLittleEndian()) {
    word = (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
  }
  return word;
}

inline uint32_t UpdateByte(uint32_t crc, unsigned char byte) {
  return CrcTables[0][(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

void FillByteTable() {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t a = i;
    for (int bit = 0; bit < 8; ++bit) {
      a = (a & 1) != 0 ? (a >> 1) ^ kPolynomial : a >> 1;
    }
    CrcTables[0][i] = a;
  }
}
}  // namespace

void InitCrcTables() {
  if (CrcTables[0][1] == 0) {
    FillByteTable();
  }
  for (int k = 1; k < 8; ++k) {
    for (int i = 0; i < 256; ++i) {
      const uint32_t previous = CrcTables[k - 1][i];
      CrcTables[k][i] = (previous >> 8) ^ CrcTables[0][previous & 0xFF];
    }
  }
}

uint32_t Crc32(uint32_t crc, const void* data, uint64_t length) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  const uint32_t(&t)[8][256] = CrcTables;

  while (length > 0 && (reinterpret_cast<uintptr_t>(p) & 7) != 0) {
    crc = UpdateByte(crc, *p++);
    --length;
  }
  for (; length >= 8; length -= 8, p += 8) {
    const uint32_t x = crc ^ LoadLittle32(p);
    const uint32_t w1 = LoadLittle32(p + 4);
    crc = t[7][x & 0xFF] ^ t[6][(x >> 8) & 0xFF] ^ t[5][(x >> 16) & 0xFF] ^ t[4][x >> 24] ^
          t[3][w1 & 0xFF] ^ t[2][(w1 >> 8) & 0xFF] ^ t[1][(w1 >> 16) & 0xFF] ^ t[0][w1 >> 24];
  }
  for (; length > 0; --length) {
    crc = UpdateByte(crc, *p++);
  }
  return crc;
}
