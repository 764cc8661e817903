// Whole-file reads and writes over the platform's OpenFile.
#include "lngtool/io/lngtool_platform.h"

namespace lngtool {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  std::FILE* f = OpenFile(path, "rb");
  if (f == nullptr) {
    return false;
  }
  bytes->clear();
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    bytes->insert(bytes->end(), chunk, chunk + got);
  }
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = OpenFile(path, "wb");
  if (f == nullptr) {
    return false;
  }
  const bool written = bytes.empty() || std::fwrite(bytes.data(), bytes.size(), 1, f) == 1;
  return std::fclose(f) == 0 && written;
}

}  // namespace lngtool
