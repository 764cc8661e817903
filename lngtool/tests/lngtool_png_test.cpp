// The preview's PNG writer: chunks with valid checksums, and image data that
// a decoder reads back pixel for pixel, also across several stored blocks;
// and the folders the pictures of several catalogs go to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/crc32.h"
#include "lngtool/render/dialog_preview.h"
#include "lngtool/render/png_image.h"

namespace lngtool {
namespace {

// Bounds-checked reads: a broken writer fails the test instead of sending the
// decoder past the end of its buffer.
uint8_t Byte(const std::vector<uint8_t>& b, size_t at) {
  if (at < b.size()) return b[at];
  ADD_FAILURE() << "read at " << at << " past the end (" << b.size() << " bytes)";
  return 0;
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return (static_cast<uint32_t>(Byte(b, at)) << 24) | (Byte(b, at + 1) << 16) |
         (Byte(b, at + 2) << 8) | Byte(b, at + 3);
}

// The bytes [from, from + n) of b, or a failure when they are not all there.
std::vector<uint8_t> Slice(const std::vector<uint8_t>& b, size_t from, size_t n) {
  if (from > b.size() || n > b.size() - from) {
    ADD_FAILURE() << "slice " << from << "+" << n << " past the end (" << b.size() << " bytes)";
    return {};
  }
  return std::vector<uint8_t>(b.begin() + static_cast<ptrdiff_t>(from),
                              b.begin() + static_cast<ptrdiff_t>(from + n));
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
  EXPECT_EQ(Slice(png, 0, 8), signature);
  std::vector<uint8_t> z;
  std::vector<std::string> types;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t n = Get32(png, at);
    const std::string type(png.begin() + static_cast<ptrdiff_t>(at) + 4,
                           png.begin() + static_cast<ptrdiff_t>(at) + 8);
    types.push_back(type);
    const std::vector<uint8_t> checked = Slice(png, at + 4, size_t{n} + 4);
    EXPECT_EQ(Get32(png, at + 8 + n), ~Crc32(0xFFFFFFFFu, checked.data(), checked.size())) << type;
    if (type == "IHDR") {
      d.width = Get32(png, at + 8);
      d.height = Get32(png, at + 12);
      EXPECT_EQ(png[at + 16], 8);  // bit depth
      EXPECT_EQ(png[at + 17], 2);  // RGB
    } else if (type == "IDAT") {
      const std::vector<uint8_t> data = Slice(png, at + 8, n);
      z.insert(z.end(), data.begin(), data.end());
    }
    at += 12 + n;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_EQ(Byte(z, 0), 0x78);
  EXPECT_EQ((Byte(z, 0) * 256 + Byte(z, 1)) % 31, 0);  // the zlib header's check bits
  size_t at = 2;
  for (bool last = false; !last && at < z.size();) {
    last = (Byte(z, at) & 1) != 0;
    EXPECT_EQ(Byte(z, at) & 6, 0);  // stored
    const size_t n = Byte(z, at + 1) | (Byte(z, at + 2) << 8);
    EXPECT_EQ(n ^ 0xFFFF, static_cast<size_t>(Byte(z, at + 3) | (Byte(z, at + 4) << 8)));
    const std::vector<uint8_t> block = Slice(z, at + 5, n);
    d.rows.insert(d.rows.end(), block.begin(), block.end());
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

TEST(PreviewFolders, OneACatalogNamedByItsFileOrItsFolder) {
  using Folders = std::vector<std::string>;
  EXPECT_EQ(PreviewFolders("out", {"lang/de.lng"}), Folders{"out"});
  EXPECT_EQ(PreviewFolders("out", {"de.lng", "C:\\l\\fr.lng"}), (Folders{"out\\de", "out\\fr"}));
  EXPECT_EQ(PreviewFolders("out", {"lang/de/launcher.lng", "lang/fr/launcher.lng", "ja.lng"}),
            (Folders{"out\\de", "out\\fr", "out\\ja"}));
  // Two that would still share a folder, or one without a folder's name.
  EXPECT_TRUE(PreviewFolders("out", {"a/de.lng", "b/de.lng.bak", "de.txt"}).empty());
  EXPECT_TRUE(PreviewFolders("out", {"launcher.lng", "x/launcher.lng"}).empty());
}

}  // namespace
}  // namespace lngtool
