// The partner installer's path and the self-removal's clean-up command, as
// text: the two things the launcher flow composes, kept free of platform calls.
#pragma once
#include <cstddef>

// The self-removal command line's buffer size, terminator included.
constexpr size_t kCleanupCommandCapacity = 1024;

// path holds the launcher's own file path (capacity kPathCapacity); its name
// part becomes installerName. When the result would not fit, path is emptied
// and false returned: a cut path names some other file, which the flow would
// then offer, run or delete. A null installerName empties path too.
bool ComposeInstallerPath(char16_t* path, const char16_t* installerName);

// The installer's name: the fetched (possibly translated) text when it is a
// plain file name, else the program's built-in one, else null. A catalog or
// language module is writable without elevation; a name with a folder part,
// a device or a trailing dot would make the elevated launcher start or
// delete a file outside its own folder.
const char16_t* ChooseInstallerName(const char16_t* fetched, const char16_t* builtIn);

// The hidden clean-up: the interpreter runs the uninstaller from the current
// directory, then deletes the launcher's file. False, with dst empty, when
// there is no interpreter or the command does not fit kCleanupCommandCapacity:
// a cut command would end inside the quoted path and delete whatever that
// shorter name denotes.
bool FormatCleanupCommand(char16_t* dst, const char16_t* interpreter, const char16_t* ownPath);
