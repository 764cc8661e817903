// The partner installer's path and the self-removal's clean-up command, as
// text: the two things the launcher flow composes, kept free of platform calls.
#pragma once
#include <cstddef>
#include <cstdint>

#include "resources/resource_ids.h"

// String 5101: the partner installer's file name.
constexpr int32_t kInstallerNameId = IDS_INSTALLER_NAME;
// String 5102: the page opened after the information dialog.
constexpr int32_t kFirstUsePageId = IDS_FIRST_USE_URL;

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

// The installer's name as the flow takes it: translated (fetch) only when
// both language files lie beside the launcher, where only an administrator
// writes; with either from the user's language folder (fromLanguageFolder),
// the built-in one, as a user-written file could name another file of the
// launcher's folder, such as the uninstaller. Then as ChooseInstallerName.
const char16_t* InstallerName(bool fromLanguageFolder, const char16_t* (*fetch)(int32_t id),
                              const char16_t* (*fetchBuiltIn)(int32_t id));

// The hidden clean-up: the interpreter runs the uninstaller from its current
// directory (the launcher's folder, which the start gives it), then deletes
// the launcher's file. /d keeps the user's AutoRun command from running with
// the launcher's rights; /e:on and /v:off fix the parsing the user's settings
// would otherwise choose. An interpreter path holding a blank is quoted.
// False, with dst empty, when there is no interpreter or the command does not
// fit kCleanupCommandCapacity: a cut command would end inside the quoted path
// and delete whatever that shorter name denotes.
bool FormatCleanupCommand(char16_t* dst, const char16_t* interpreter, const char16_t* ownPath);

// The folder holding the file at path (capacity kPathCapacity), as a start's
// current directory: without a trailing separator unless it is a drive's
// root. False, with dst empty, when path has no folder part or the folder is
// too long to be a current directory (over 258 units): then nothing may start
// there.
bool FolderOfFile(const char16_t* path, char16_t* dst);

// Starts the installer at the full path as the launcher's child, without the
// shell (which would look the program up through the user's file classes):
// that path as the application name and, quoted, as the command line; its own
// folder as current directory, whatever the launcher's is; no handle
// inheritance; shown normally; both handles closed at once. False when it
// did not start.
bool StartInstaller(const char16_t* path);

// The accepted offer, inside the dialog's foreground lock: the installer's
// start, its deletion at the next restart whether or not it started (a
// running installer cannot be deleted now, a failed one is no use), the
// information dialog (showInformation(owner)), then the first-use page
// (string 5102 through fetch) when it is a web address.
void CarryOutAcceptedOffer(const char16_t* installerPath, const char16_t* (*fetch)(int32_t id),
                           void (*showInformation)(void* owner), void* owner);
