// PNG files of the preview's screenshots, written without a compression
// library: 8-bit RGB, filter 0, the image data in stored deflate blocks.
#pragma once
#include <cstdint>
#include <vector>

namespace lngtool {

// rgb holds height rows of width pixels, three bytes each, top row first.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);

}  // namespace lngtool
