// The XLIFF reader and the XML parser under it under libFuzzer: any bytes
// are read or refused (no entity expansion, no read beyond), and what
// lngtool writes of what was read reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lngtool/exchange/xliff_file.h"

namespace {
void Check(bool holds) {
  if (!holds) std::abort();
}

bool Same(const lngtool::TranslationMessage& a, const lngtool::TranslationMessage& b) {
  return a.context == b.context && a.source == b.source && a.translated == b.translated &&
         (!a.translated || a.translation == b.translation) && a.fuzzy == b.fuzzy &&
         a.reference == b.reference;
}
}  // namespace

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
    Check(Same(file.messages[i], again.messages[i]));
  return 0;
}
