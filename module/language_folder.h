// Where the language files are looked for: beside the program, or in the
// folder the user's "LanguageFolder" value names.
#pragma once
#include <cstddef>

// dst receives input, or the file of the same name in the "LanguageFolder"
// that HKEY_CURRENT_USER\Software\Zentak\General names, when it exists there.
// dst may be input itself.
void RedirectToLanguageFolder(const char16_t* input, char16_t* dst, size_t cap);
