// Path text, handled purely as text: nothing here touches the file system.
#include "base/path_text.h"

#include <initializer_list>

#include "base/bounded_text.h"

namespace {
bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

constexpr char16_t kLongPrefix[] = u"\\\\?\\";
constexpr size_t kLongPrefixLength = 4;

// Copies n units of src to dst without a terminator; returns the end.
char16_t* Put(char16_t* dst, const char16_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    dst[i] = src[i];
  }
  return dst + n;
}
}  // namespace

void AppendBackslash(char16_t* path, size_t cap) {
  const size_t length = TextLength(path);
  if (length > 0 && path[length - 1] != u'\\' && length + 1 < cap) {
    path[length] = u'\\';
    path[length + 1] = 0;
  }
}

bool HasDriveLetter(const char16_t* path) {
  const char16_t c = UpperCaseChar(path[0]);
  return c >= u'A' && c <= u'Z' && path[1] == u':';
}

const char16_t* FindNamePart(const char16_t* path) {
  const size_t length = TextLength(path);
  for (size_t i = length; i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      return path + i;
    }
  }
  // Any first character counts here, not only a drive letter.
  if (length >= 2 && path[1] == u':') {
    return path + 2;
  }
  return path;
}

char16_t* FindNamePart(char16_t* path) {
  return const_cast<char16_t*>(FindNamePart(static_cast<const char16_t*>(path)));
}

char16_t* ReplaceNamePart(char16_t* path, const char16_t* name, size_t cap) {
  char16_t* part = FindNamePart(path);
  const size_t offset = static_cast<size_t>(part - path);
  // A path not terminated within cap would make the remaining capacity wrap.
  if (offset < cap) {
    CopyBounded(part, name, cap - offset);
  }
  return part;
}

bool IsAbsolutePath(const char16_t* path) {
  if (path[0] == u'\\' && path[1] == u'\\') {
    return true;
  }
  return HasDriveLetter(path) && IsSeparator(path[2]);
}

namespace {
// "C:\x" becomes "\\?\C:\x", "\\server\share" becomes "\\?\UNC\server\share".
bool LongFormOfAbsolute(const char16_t* src, size_t length, char16_t* dst, size_t cap) {
  if (HasDriveLetter(src)) {
    if (length + 4 >= cap) return false;
    *Put(Put(dst, kLongPrefix, kLongPrefixLength), src, length) = 0;
    return true;
  }
  if (length + 6 >= cap) return false;
  *Put(Put(dst, u"\\\\?\\UNC", 7), src + 1, length - 1) = 0;
  return true;
}

// Rooted without a drive ("\x"): the current directory lends its drive designator.
bool LongFormOfRooted(const char16_t* src, size_t length, const char16_t* currentDirectory,
                      char16_t* dst, size_t cap) {
  if (TextLength(currentDirectory) < 2 || length + 6 >= cap) return false;
  *Put(Put(Put(dst, kLongPrefix, kLongPrefixLength), currentDirectory, 2), src, length) = 0;
  return true;
}

// Relative ("x", ".\x"): joined to the current directory.
bool LongFormOfRelative(const char16_t* src, size_t length, const char16_t* currentDirectory,
                        char16_t* dst, size_t cap) {
  const size_t dirLength = TextLength(currentDirectory);
  // The separator AppendBackslash would add to the directory (capacity 2048).
  const bool addSeparator =
      dirLength > 0 && currentDirectory[dirLength - 1] != u'\\' && dirLength + 1 < kPathCapacity;
  const size_t joinedLength = dirLength + (addSeparator ? 1 : 0);
  if (joinedLength + length + 4 >= cap) return false;
  char16_t* end = Put(Put(dst, kLongPrefix, kLongPrefixLength), currentDirectory, dirLength);
  if (addSeparator) *end++ = u'\\';
  *end = 0;
  if (src[0] == u'.' && IsSeparator(src[1])) src += 2;
  AppendBounded(dst, src, cap);
  return true;
}
}  // namespace

bool MakeLongPathText(const char16_t* src, const char16_t* currentDirectory, char16_t* dst,
                      size_t cap) {
  const size_t length = TextLength(src);
  if (length == 0) return false;
  if (IsAbsolutePath(src)) return LongFormOfAbsolute(src, length, dst, cap);
  if (currentDirectory == nullptr) return false;
  if (IsSeparator(src[0])) return LongFormOfRooted(src, length, currentDirectory, dst, cap);
  return LongFormOfRelative(src, length, currentDirectory, dst, cap);
}

namespace {
bool IsRefusedInName(char16_t c) {
  if (c < 0x20 || c == 0x7F) return true;
  for (const char16_t refused : u"*?\"<>|") {
    if (refused != 0 && c == refused) return true;
  }
  return false;
}

bool EqualsAsciiNoCase(const char16_t* text, size_t length, const char16_t* upper) {
  for (size_t i = 0; i < length; ++i) {
    if (upper[i] == 0 || UpperCaseChar(text[i]) != upper[i]) return false;
  }
  return upper[length] == 0;
}

// The device names Windows reserves in every folder. The stem ends at the
// first dot, blanks before it ignored, as Windows reads such names.
bool IsReservedDeviceName(const char16_t* name) {
  size_t stem = 0;
  while (name[stem] != 0 && name[stem] != u'.') ++stem;
  while (stem > 0 && name[stem - 1] == u' ') --stem;
  for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
    if (EqualsAsciiNoCase(name, stem, device)) return true;
  }
  if (stem != 4) return false;
  const bool port = EqualsAsciiNoCase(name, 3, u"COM") || EqualsAsciiNoCase(name, 3, u"LPT");
  // Superscript one to three count as digits here too.
  const char16_t digit = name[3];
  return port &&
         ((digit >= u'1' && digit <= u'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}
}  // namespace

FileNameFault FindFileNameFault(const char16_t* name) {
  const size_t length = TextLength(name);
  if (length == 0) return FileNameFault::kEmpty;
  if (TextEqual(name, u".") || TextEqual(name, u"..")) return FileNameFault::kDotName;
  for (size_t i = 0; i < length; ++i) {
    if (IsSeparator(name[i]) || name[i] == u':') return FileNameFault::kFolderPart;
  }
  for (size_t i = 0; i < length; ++i) {
    if (IsRefusedInName(name[i])) return FileNameFault::kRefusedChar;
  }
  if (name[length - 1] == u'.' || name[length - 1] == u' ') {
    return FileNameFault::kTrailingDotOrBlank;
  }
  return IsReservedDeviceName(name) ? FileNameFault::kDeviceName : FileNameFault::kNone;
}
