// Path text: backslash and slash both separate when a path is read; what is
// added is always a backslash.
#pragma once
#include <cstddef>

void AppendBackslash(char16_t* path, size_t cap);
bool HasDriveLetter(const char16_t* path);
char16_t* FindNamePart(char16_t* path);
const char16_t* FindNamePart(const char16_t* path);
char16_t* ReplaceNamePart(char16_t* path, const char16_t* name, size_t cap);
bool IsAbsolutePath(const char16_t* path);

// The long form of src ("\\?\" prefixed), built from text alone: the caller
// supplies the current directory, read only when src is not absolute (it may
// be null when reading it failed). False, with dst untouched, when the result
// would not fit or src is empty.
bool MakeLongPathText(const char16_t* src, const char16_t* currentDirectory, char16_t* dst,
                      size_t cap);

// Why a text is not one file's plain name, which can only denote a file in
// the folder it is joined to.
enum class FileNameFault {
  kNone,
  kEmpty,
  kDotName,             // "." or ".."
  kFolderPart,          // a separator, or a drive or stream colon
  kRefusedChar,         // a control character, or one of * ? " < > |
  kTrailingDotOrBlank,  // Windows drops them: the name would denote another file
  kDeviceName,          // CON, NUL, COM1 and the like, with or without an extension
};
FileNameFault FindFileNameFault(const char16_t* name);
inline bool IsPlainFileName(const char16_t* name) {
  return FindFileNameFault(name) == FileNameFault::kNone;
}
