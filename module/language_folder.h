// Where the language files are looked for: beside the program, or in the
// folder the user's "LanguageFolder" value names.
#pragma once
#include <cstddef>

// dst receives input, or the file of the same name in the "LanguageFolder"
// that HKEY_CURRENT_USER\Software\Zentak\General names, when it exists there
// and the folder, expanded, lies on a local drive (IsLocalFolder). dst may be
// input itself. True when redirected: the file is then the user's to write.
bool RedirectToLanguageFolder(const char16_t* input, char16_t* dst, size_t cap);

// folder begins with a drive letter, a colon and a separator, and that drive
// is no network drive. A share (\\server\share), a device or "\\?\" path, a
// relative path (the current directory's, which whoever starts the launcher
// chooses) and a network drive are not: the elevated launcher reads nothing
// over the network, where it would also offer the administrator's
// credentials and could stall.
bool IsLocalFolder(const char16_t* folder);
