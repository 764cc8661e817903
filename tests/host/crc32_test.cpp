#include "base/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <vector>

namespace {

// The byte-wise rule alone, from the definition of T0.
uint32_t ByteWise(uint32_t crc, const unsigned char* p, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    crc = CrcTables[0][(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  }
  return crc;
}

uint32_t Zlib(const unsigned char* p, size_t n) {
  return static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

class Crc32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCrcTables(); }

  // 8 spare bytes in front so that data can start at every offset from an
  // 8-byte boundary.
  void Fill(size_t n) {
    storage.assign(n + 16, 0);
    uint32_t seed = 0x12345678u;
    for (auto& b : storage) {
      seed = seed * 1103515245u + 12345u;
      b = static_cast<unsigned char>(seed >> 16);
    }
  }
  const unsigned char* At(size_t offset) const {
    const uintptr_t base = reinterpret_cast<uintptr_t>(storage.data());
    const size_t pad = (8 - (base & 7)) & 7;
    return storage.data() + pad + offset;
  }

  std::vector<unsigned char> storage;
};

TEST_F(Crc32Test, TablesHoldTheReflectedPolynomialAndItsShifts) {
  EXPECT_EQ(CrcTables[0][0], 0u);
  EXPECT_EQ(CrcTables[0][1], 0x77073096u);
  EXPECT_EQ(CrcTables[0][128], 0xEDB88320u);
  EXPECT_EQ(CrcTables[0][255], 0x2D02EF8Du);
  // Tk[i]: the register after byte i and k zero bytes, from a register of 0.
  const unsigned char zeros[8] = {};
  for (int k = 0; k < 8; ++k) {
    for (int i = 0; i < 256; ++i) {
      const unsigned char first = static_cast<unsigned char>(i);
      const uint32_t expected = ByteWise(ByteWise(0, &first, 1), zeros, static_cast<size_t>(k));
      ASSERT_EQ(CrcTables[k][i], expected) << "T" << k << "[" << i << "]";
    }
  }
}

TEST_F(Crc32Test, RepeatedInitLeavesTablesAsTheyWere) {
  uint32_t before[8][256];
  std::memcpy(before, CrcTables, sizeof before);
  InitCrcTables();
  InitCrcTables();
  EXPECT_EQ(std::memcmp(before, CrcTables, sizeof before), 0);
}

TEST_F(Crc32Test, CheckValueOfTheNineDigits) {
  const char digits[] = "123456789";
  EXPECT_EQ(Crc32(0xFFFFFFFFu, digits, 9), 0x340BC6D9u);
  EXPECT_EQ(~Crc32(0xFFFFFFFFu, digits, 9), 0xCBF43926u);
}

TEST_F(Crc32Test, ZeroLengthReturnsTheRegisterUnchanged) {
  Fill(8);
  for (uint32_t r : {0u, 1u, 0xFFFFFFFFu, 0x340BC6D9u}) {
    EXPECT_EQ(Crc32(r, At(3), 0), r);
    EXPECT_EQ(Crc32(r, nullptr, 0), r);
  }
}

TEST_F(Crc32Test, MatchesZlibForEveryLengthAndStartOffset) {
  constexpr size_t kMax = 4096;
  Fill(kMax);
  for (size_t offset = 0; offset < 8; ++offset) {
    for (size_t n = 0; n <= kMax; ++n) {
      const unsigned char* p = At(offset);
      ASSERT_EQ(~Crc32(0xFFFFFFFFu, p, n), Zlib(p, n)) << "offset " << offset << " length " << n;
    }
  }
}

TEST_F(Crc32Test, ArbitraryStartRegisterMatchesZlibContinuation) {
  Fill(300);
  for (uint32_t r : {0u, 0xDEADBEEFu, 0x80000001u}) {
    for (size_t n : {size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{64}, size_t{300}}) {
      // zlib keeps the register complemented between calls.
      const uint32_t expected = ~static_cast<uint32_t>(crc32(~r, At(1), static_cast<uInt>(n)));
      EXPECT_EQ(Crc32(r, At(1), n), expected) << r << " " << n;
    }
  }
}

TEST_F(Crc32Test, ChainedCallsEqualOneCallForEverySplit) {
  constexpr size_t kLength = 77;
  Fill(kLength);
  for (size_t offset = 0; offset < 8; ++offset) {
    const unsigned char* p = At(offset);
    const uint32_t whole = Crc32(0xFFFFFFFFu, p, kLength);
    for (size_t a = 0; a <= kLength; ++a) {
      ASSERT_EQ(Crc32(Crc32(0xFFFFFFFFu, p, a), p + a, kLength - a), whole) << offset << "/" << a;
      // Three pieces, the second often inside one 8-byte block.
      for (size_t b = a; b <= kLength && b <= a + 9; ++b) {
        const uint32_t r = Crc32(Crc32(Crc32(0xFFFFFFFFu, p, a), p + a, b - a), p + b, kLength - b);
        ASSERT_EQ(r, whole) << offset << "/" << a << "/" << b;
      }
    }
  }
}

TEST_F(Crc32Test, LargeBufferMatchesByteWiseRule) {
  Fill(1 << 20);
  const unsigned char* p = At(5);
  const size_t n = (1 << 20) + 3;
  EXPECT_EQ(Crc32(0x01020304u, p, n), ByteWise(0x01020304u, p, n));
}

}  // namespace
