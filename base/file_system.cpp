// File-system helpers over the Sys table. The long form is built only after
// the plain call failed, so the common case costs one platform call.
#include "base/file_system.h"

#include "base/bounded_text.h"
#include "base/path_text.h"
#include "base/system_calls.h"

bool MakeLongPath(const char16_t* src, char16_t* dst, size_t cap) {
  if (src[0] == 0) {
    return false;
  }
  if (IsAbsolutePath(src)) {
    return MakeLongPathText(src, nullptr, dst, cap);
  }
  char16_t directory[kPathCapacity];
  const uint32_t length = Sys.getCurrentDirectory(kPathCapacity - 1, directory);
  // 0 is a failure, more than the size offered is the size the directory needs.
  if (length == 0 || length > kPathCapacity - 1) {
    return false;
  }
  directory[length] = 0;
  return MakeLongPathText(src, directory, dst, cap);
}

uint32_t QueryFileAttributes(const char16_t* path) {
  const uint32_t attributes = Sys.getFileAttributes(path);
  if (attributes != fileapi::kInvalidAttributes) {
    return attributes;
  }
  char16_t longForm[kPathCapacity];
  if (!MakeLongPath(path, longForm, kPathCapacity)) {
    return attributes;
  }
  return Sys.getFileAttributes(longForm);
}

bool PathExists(const char16_t* path) {
  return QueryFileAttributes(path) != fileapi::kInvalidAttributes;
}

bool IsFolder(const char16_t* path) {
  const uint32_t attributes = QueryFileAttributes(path);
  return attributes != fileapi::kInvalidAttributes &&
         (attributes & fileapi::kAttributeDirectory) != 0;
}

bool RemoveFile(const char16_t* path) {
  if (Sys.deleteFile(path)) {
    return true;
  }
  char16_t longForm[kPathCapacity];
  return MakeLongPath(path, longForm, kPathCapacity) && Sys.deleteFile(longForm);
}
