// The native side: Windows-1252 by table, other code pages through iconv.
#include <errno.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "base/host_stand_ins.h"
#include "lngtool/io/lngtool_platform.h"

namespace lngtool {
namespace {
std::string iconvName;

// iconv_open's failure value, by its contract.
bool Failed(iconv_t cd) {
  return cd == reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
}

size_t UnitLength(const char16_t* s) {
  size_t n = 0;
  while (s[n] != 0) {
    ++n;
  }
  return n;
}

// Converts as Windows does without flags: what the code page lacks becomes
// the default character, what is not valid in it U+FFFD.
bool Convert(const char* to, const char* from, const char* in, size_t inBytes, char* out,
             size_t outBytes, const char* replacement, size_t replacementBytes, size_t step) {
  iconv_t cd = iconv_open(to, from);
  if (Failed(cd)) {
    return false;
  }
  char* src = const_cast<char*>(in);
  bool whole = true;
  while (inBytes > 0) {
    if (iconv(cd, &src, &inBytes, &out, &outBytes) != static_cast<size_t>(-1)) {
      break;
    }
    if (errno == E2BIG) {
      whole = false;
      break;
    }
    if (errno == EINVAL) {
      break;  // cut in the middle of a character
    }
    if (outBytes < replacementBytes) {
      whole = false;
      break;
    }
    std::memcpy(out, replacement, replacementBytes);
    out += replacementBytes;
    outBytes -= replacementBytes;
    const size_t skip = step < inBytes ? step : inBytes;
    src += skip;
    inBytes -= skip;
  }
  iconv_close(cd);
  return whole;
}

bool IconvWideToAnsi(const char16_t* src, char* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  std::memset(dst, 0, cap);
  const size_t units = UnitLength(src);
  const bool whole = Convert(iconvName.c_str(), "UTF-16LE", reinterpret_cast<const char*>(src),
                             units * 2, dst, cap - 1, "?", 1, 2);
  return whole;
}

bool IconvAnsiToWide(const char* src, char16_t* dst, size_t cap) {
  if (cap == 0) {
    return false;
  }
  std::memset(dst, 0, cap * sizeof(char16_t));
  const char16_t replacement = 0xFFFD;
  return Convert("UTF-16LE", iconvName.c_str(), src, std::strlen(src), reinterpret_cast<char*>(dst),
                 (cap - 1) * 2, reinterpret_cast<const char*>(&replacement), 2, 1);
}

const AnsiCodec kIconvCodec = {IconvWideToAnsi, IconvAnsiToWide};
}  // namespace

bool SelectCodePage(uint32_t codePage, const AnsiCodec** codec, std::string* error) {
  if (codePage == 0 || codePage == 1252) {
    *codec = &SystemAnsi;
    return true;
  }
  iconvName = codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
  iconv_t probe = iconv_open("UTF-16LE", iconvName.c_str());
  if (Failed(probe)) {
    *error = "code page " + std::to_string(codePage) + " is not available here";
    return false;
  }
  iconv_close(probe);
  *codec = &kIconvCodec;
  return true;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> out;
  for (int i = 1; i < argc; ++i) {
    out.emplace_back(argv[i]);
  }
  return out;
}

bool MakeDirectory(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

std::string OwnFolder() {
  char path[PATH_MAX + 1];
  const ssize_t got = readlink("/proc/self/exe", path, PATH_MAX);
  if (got <= 0) {
    return "./";
  }
  std::string s(path, static_cast<size_t>(got));
  return s.substr(0, s.rfind('/') + 1);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x {};
  struct stat y {};
  return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
}

std::string SystemErrorText(uint32_t code) {
  // The Win32 codes the native system calls report, told as this system does.
  const int error = ErrnoOfError(code);
  if (error != 0) {
    return std::strerror(error);
  }
  return code == 0 ? "unknown error" : "error " + std::to_string(code);
}

void PrepareConsole() {}

}  // namespace lngtool
