// Whole-file reads and writes over the replaceable system calls (the
// launcher's for reading, lngtool's own for writing), so that a test can
// stage a full disk or a file that cannot be read.
#include "base/system_calls.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/regular_file.h"
#include "lngtool/io/text_form.h"
#include "lngtool/io/write_calls.h"

namespace lngtool {
namespace {
constexpr uint32_t kChunk = 65536;
constexpr int kTemporaryNames = 100;

bool Failed(std::string* reason) {
  if (reason != nullptr) {
    *reason = SystemErrorText(Sys.getLastError());
  }
  return false;
}

bool Refused(const std::string& why, std::string* reason) {
  if (reason != nullptr) {
    *reason = why;
  }
  return false;
}

// Reads to the end, or refuses once more than kMaxInputBytes came.
bool ReadBounded(PlatformHandle h, std::vector<uint8_t>* bytes, std::string* reason) {
  std::vector<uint8_t> chunk(kChunk);
  uint32_t got = 0;
  while (Sys.readFile(h, chunk.data(), kChunk, &got)) {
    if (got == 0) {
      return true;
    }
    if (bytes->size() + got > kMaxInputBytes) {
      return Refused("larger than 64 MiB", reason);
    }
    bytes->insert(bytes->end(), chunk.begin(), chunk.begin() + got);
  }
  return Failed(reason);
}

bool WriteAll(PlatformHandle h, const std::vector<uint8_t>& bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t left = bytes.size() - at;
    const auto count = static_cast<uint32_t>(left < kChunk ? left : kChunk);
    uint32_t done = 0;
    if (!Writes.writeFile(h, bytes.data() + at, count, &done) || done == 0) {
      return false;
    }
    at += done;
  }
  return Writes.flushFileBuffers(h);
}

// A new file beside target: "NAME.~lngtoolN", the first N not taken.
PlatformHandle CreateBeside(const std::u16string& target, std::u16string* name) {
  for (int n = 0; n < kTemporaryNames; ++n) {
    *name = target + u".~lngtool" + FromUtf8(std::to_string(n));
    const PlatformHandle h = Writes.createNewFile(name->c_str());
    if (h != InvalidPlatformHandle()) {
      return h;
    }
    if (Sys.getFileAttributes(name->c_str()) == fileapi::kInvalidAttributes) {
      break;  // not taken, so the folder itself refuses
    }
  }
  return InvalidPlatformHandle();
}
}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason) {
  std::string why;
  if (!IsReadableInput(path, &why)) {
    return Refused(why, reason);
  }
  const std::u16string name = FromUtf8(path);
  const PlatformHandle h = Sys.createFile(name.c_str(), fileapi::kGenericRead, fileapi::kShareRead,
                                          fileapi::kFlagSequentialScan);
  if (h == InvalidPlatformHandle()) {
    return Failed(reason);
  }
  bytes->clear();
  // A name the attributes did not tell (a pipe, the console) shows its kind
  // now; a file that grew past the limit since is stopped at it.
  const bool disk = Sys.getFileType(h) == fileapi::kFileTypeDisk;
  bool ok = disk;
  if (disk) {
    ok = ReadBounded(h, bytes, reason);
  } else {
    Refused("not a regular file (a device or pipe)", reason);
  }
  Sys.closeHandle(h);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* reason) {
  const std::u16string target = FromUtf8(path);
  std::u16string temporary;
  const PlatformHandle h = CreateBeside(target, &temporary);
  if (h == InvalidPlatformHandle()) {
    return Failed(reason);
  }
  bool ok = WriteAll(h, bytes);
  if (!ok) {
    Failed(reason);
  }
  if (!Sys.closeHandle(h) && ok) {
    ok = Failed(reason);
  }
  if (ok && !Writes.moveFileReplace(temporary.c_str(), target.c_str())) {
    ok = Failed(reason);
  }
  if (!ok) {
    Sys.deleteFile(temporary.c_str());
  }
  return ok;
}

bool PathTaken(const std::string& path) {
  return Sys.getFileAttributes(FromUtf8(path).c_str()) != fileapi::kInvalidAttributes;
}

}  // namespace lngtool
