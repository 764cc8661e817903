// The native side: stat follows links to what would be opened.
#include <sys/stat.h>

#include "lngtool/io/regular_file.h"

namespace lngtool {

bool IsReadableInput(const std::string& path, std::string* reason) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    return true;
  }
  if (!S_ISREG(st.st_mode)) {
    *reason = "not a regular file (a folder, device, pipe or socket)";
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > kMaxInputBytes) {
    *reason = "larger than 64 MiB";
    return false;
  }
  return true;
}

}  // namespace lngtool
