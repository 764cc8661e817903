// The XLIFF reader and the XML parser under it under libFuzzer: any bytes
// are read or refused (no entity expansion, no read beyond), and what
// lngtool writes of what was read reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lngtool/exchange/xliff_file.h"
#include "tests/fuzz/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  lngtool::TranslationFile file;
  lngtool::ReadError error;
  if (!lngtool::ReadXliff(bytes, &file, &error)) {
    Check(!error.message.empty());
    return 0;
  }
  const std::string written = lngtool::WriteXliff({"fuzz", file.language}, file.messages);
  lngtool::TranslationFile again;
  Check(lngtool::ReadXliff(written, &again, &error));
  Check(again.messages.size() == file.messages.size());
  for (size_t i = 0; i < file.messages.size(); ++i)
    Check(SameMessage(file.messages[i], again.messages[i], true));
  return 0;
}
