// The PE resource reader under libFuzzer: any module, however damaged, gives
// texts or "not found", never a read outside its bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "lngtool/program/pe_resources.h"
#include "lngtool/program/program_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lngtool::PeModule module;
  module.Load(std::vector<uint8_t>(data, data + size));
  for (const lngtool::ResourceName& name :
       module.ListNames(lngtool::ResourceName::Number(lngtool::kResourceDialog))) {
    std::vector<uint8_t> bytes;
    lngtool::DialogTemplate dialog;
    if (module.FindResource(lngtool::ResourceName::Number(lngtool::kResourceDialog), name, &bytes))
      lngtool::ParseDialogTemplate(bytes, &dialog);
  }
  std::vector<std::string> problems;
  lngtool::CollectProgramTexts(module, nullptr, SystemAnsi, &problems);
  std::u16string text;
  module.LoadString(0, &text);
  module.LoadString(0xFFFF, &text);
  return 0;
}
