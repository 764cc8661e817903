// The PO reader under libFuzzer: any bytes are read or refused, never read
// beyond; what is read is UTF-8, and what lngtool writes of it reads back
// the same. The import behind it (keys, catalog, checks) runs on it too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/code_page.h"
#include "lngtool/exchange/catalog_import.h"
#include "lngtool/exchange/po_file.h"
#include "tests/fuzz/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  lngtool::TranslationFile file;
  lngtool::ReadError error;
  if (!lngtool::ReadPo(bytes, &file, &error)) {
    Check(!error.message.empty());
    return 0;
  }
  size_t at = 0;
  for (const lngtool::TranslationMessage& m : file.messages) {
    Check(lngtool::IsValidUtf8(m.context, &at) && lngtool::IsValidUtf8(m.source, &at) &&
          lngtool::IsValidUtf8(m.translation, &at));
  }
  lngtool::PoHeader header;
  const std::string written = lngtool::WritePo(header, file.messages);
  lngtool::TranslationFile again;
  Check(lngtool::ReadPo(written, &again, &error));
  Check(again.messages.size() == file.messages.size());
  for (size_t i = 0; i < file.messages.size(); ++i)
    Check(SameMessage(file.messages[i], again.messages[i], false));

  lngtool::ImportOptions options;
  options.fileName = "fuzz.po";
  options.useFuzzy = size % 2 == 1;
  lngtool::ImportOutcome outcome;
  lngtool::ImportTranslations(bytes, options, nullptr, SystemAnsi, &outcome);
  return 0;
}
