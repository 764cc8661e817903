// One pass over 1 MiB, for instruction counts under callgrind: "crc32_callgrind"
// runs Crc32, "crc32_callgrind zlib" runs zlib's crc32. tools/bench collects
// only inside the checksum function and divides by the byte count.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/crc32.h"

int main(int argc, char** argv) {
  constexpr size_t kBytes = size_t{1} << 20;
  InitCrcTables();
  std::vector<unsigned char> data(kBytes + 8);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 131 + 7);
  const uintptr_t base = reinterpret_cast<uintptr_t>(data.data());
  const unsigned char* p = data.data() + ((8 - (base & 7)) & 7);
  uint32_t result = 0;
  if (argc > 1 && std::strcmp(argv[1], "zlib") == 0) {
    result = static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(kBytes)));
  } else {
    result = ~Crc32(0xFFFFFFFFu, p, kBytes);
  }
  std::printf("%08x\n", result);
  return 0;
}
