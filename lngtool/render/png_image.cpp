#include "lngtool/render/png_image.h"

#include <cstddef>

#include "base/crc32.h"

namespace lngtool {
namespace {
constexpr size_t kStoredBlockBytes = 65535;

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out->push_back(static_cast<uint8_t>(v >> shift));
  }
}

void Chunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out->insert(out->end(), body.begin(), body.end());
  // The chunk's CRC is the standard CRC-32, which the catalog's keys use too.
  Put32(out, ~Crc32(0xFFFFFFFFu, body.data(), body.size()));
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1;
  uint32_t b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// A zlib stream of stored blocks: no compression, any size.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = raw.size() - at < kStoredBlockBytes ? raw.size() - at : kStoredBlockBytes;
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n & 0xFF));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n & 0xFF));
    z.push_back(static_cast<uint8_t>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at),
             raw.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  Put32(&z, Adler32(raw));
  return z;
}
}  // namespace

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(&header, width);
  Put32(&header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filter 0, no interlace
  Chunk(&png, "IHDR", header);
  std::vector<uint8_t> rows;
  const size_t stride = static_cast<size_t>(width) * 3;
  for (uint32_t y = 0; y < height; ++y) {
    rows.push_back(0);  // filter type None
    const size_t start = y * stride;
    for (size_t i = 0; i < stride; ++i) {
      rows.push_back(start + i < rgb.size() ? rgb[start + i] : 0);
    }
  }
  Chunk(&png, "IDAT", StoredZlib(rows));
  Chunk(&png, "IEND", {});
  return png;
}

}  // namespace lngtool
