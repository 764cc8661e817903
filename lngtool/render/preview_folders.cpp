#include <algorithm>

#include "lngtool/render/dialog_preview.h"

namespace lngtool {
namespace {
// The path's last part and the one before it; either separator.
void Parts(const std::string& path, std::string* file, std::string* folder) {
  const size_t slash = path.find_last_of("/\\");
  *file = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string before = slash == std::string::npos ? "" : path.substr(0, slash);
  const size_t up = before.find_last_of("/\\:");
  *folder = up == std::string::npos ? before : before.substr(up + 1);
}

std::string WithoutEnding(const std::string& file) {
  const size_t dot = file.rfind('.');
  return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}
}  // namespace

std::vector<std::string> PreviewFolders(const std::string& outDir,
                                        const std::vector<std::string>& catalogs) {
  if (catalogs.size() == 1) {
    return {outDir};
  }
  std::vector<std::string> files(catalogs.size());
  std::vector<std::string> holders(catalogs.size());
  for (size_t i = 0; i < catalogs.size(); ++i) {
    Parts(catalogs[i], &files[i], &holders[i]);
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < catalogs.size(); ++i) {
    const bool shared = std::count(files.begin(), files.end(), files[i]) > 1;
    names.push_back(shared ? holders[i] : WithoutEnding(files[i]));
  }
  std::vector<std::string> folders;
  for (const std::string& name : names) {
    if (name.empty() || name == "." || name == ".." ||
        std::count(names.begin(), names.end(), name) > 1) {
      return {};
    }
    folders.push_back(outDir);
    folders.back().append("\\").append(name);
  }
  return folders;
}

}  // namespace lngtool
