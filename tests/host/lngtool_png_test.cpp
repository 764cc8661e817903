// The preview's PNG writer: chunks with valid checksums, and image data that
// a decoder reads back pixel for pixel, also across several stored blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "services/crc32.h"
#include "tools/lngtool/png_image.h"

namespace lngtool {
namespace {

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return (static_cast<uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

struct Decoded {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rows;  // filter byte and pixels of each row
};

// Reads the chunks, checking each CRC, and inflates the stored blocks.
Decoded Decode(const std::vector<uint8_t>& png) {
  Decoded d;
  const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8), signature);
  std::vector<uint8_t> z;
  std::vector<std::string> types;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t n = Get32(png, at);
    const std::string type(png.begin() + static_cast<ptrdiff_t>(at) + 4,
                           png.begin() + static_cast<ptrdiff_t>(at) + 8);
    types.push_back(type);
    EXPECT_EQ(Get32(png, at + 8 + n), ~Crc32(0xFFFFFFFFu, png.data() + at + 4, n + 4)) << type;
    if (type == "IHDR") {
      d.width = Get32(png, at + 8);
      d.height = Get32(png, at + 12);
      EXPECT_EQ(png[at + 16], 8);  // bit depth
      EXPECT_EQ(png[at + 17], 2);  // RGB
    } else if (type == "IDAT") {
      z.insert(z.end(), png.begin() + static_cast<ptrdiff_t>(at) + 8,
               png.begin() + static_cast<ptrdiff_t>(at) + 8 + n);
    }
    at += 12 + n;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_EQ(z[0], 0x78);
  EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);  // the zlib header's check bits
  size_t at = 2;
  for (bool last = false; !last;) {
    last = (z[at] & 1) != 0;
    EXPECT_EQ(z[at] & 6, 0);  // stored
    const size_t n = z[at + 1] | (z[at + 2] << 8);
    EXPECT_EQ(n ^ 0xFFFF, static_cast<size_t>(z[at + 3] | (z[at + 4] << 8)));
    d.rows.insert(d.rows.end(), z.begin() + static_cast<ptrdiff_t>(at) + 5,
                  z.begin() + static_cast<ptrdiff_t>(at + 5 + n));
    at += 5 + n;
  }
  uint32_t a = 1;
  uint32_t b = 0;
  for (uint8_t byte : d.rows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(Get32(z, at), (b << 16) | a);
  return d;
}

TEST(Png, PixelsReadBackInOneOrManyBlocks) {
  for (const auto& size : {std::pair<uint32_t, uint32_t>{1, 1}, {3, 2}, {300, 100}}) {
    std::vector<uint8_t> rgb;
    for (uint32_t i = 0; i < size.first * size.second * 3; ++i) {
      rgb.push_back(static_cast<uint8_t>(i * 7));
    }
    const Decoded d = Decode(EncodePng(size.first, size.second, rgb));
    EXPECT_EQ(d.width, size.first);
    EXPECT_EQ(d.height, size.second);
    ASSERT_EQ(d.rows.size(), size.second * (1 + size.first * 3));
    const size_t stride = size_t{size.first} * 3;
    for (size_t y = 0; y < size.second; ++y) {
      const size_t row = y * (1 + stride);
      EXPECT_EQ(d.rows[row], 0);  // filter None
      EXPECT_TRUE(std::equal(rgb.begin() + static_cast<ptrdiff_t>(y * stride),
                             rgb.begin() + static_cast<ptrdiff_t>((y + 1) * stride),
                             d.rows.begin() + static_cast<ptrdiff_t>(row) + 1));
    }
  }
}

}  // namespace
}  // namespace lngtool
