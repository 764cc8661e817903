// The Windows side: the attributes tell a folder or a device without opening
// it; a pipe or console name has none and is caught by its type once opened.
#include <windows.h>

#include "base/wide_bridge.h"
#include "lngtool/io/regular_file.h"
#include "lngtool/io/text_form.h"

namespace lngtool {

bool IsReadableInput(const std::string& path, std::string* reason) {
  const std::u16string name = FromUtf8(path);
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (GetFileAttributesExW(AsWide(name.c_str()), GetFileExInfoStandard, &data) == FALSE) {
    return true;
  }
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
    *reason = "not a regular file (a folder or device)";
    return false;
  }
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  if (size > kMaxInputBytes) {
    *reason = "larger than 64 MiB";
    return false;
  }
  return true;
}

}  // namespace lngtool
