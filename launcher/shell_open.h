// Opening web pages and folders as the signed-in user rather than with the
// launcher's administrator rights: through the user's own desktop shell.
#pragma once

enum class ShellShow { kShow, kNormal };  // SW_SHOW, SW_SHOWNORMAL

// Opens target with the verb "open": handed to the desktop shell's process,
// so that what it starts runs unelevated; when no desktop shell answers,
// nothing is opened. The result is ignored by every caller, so there is none.
void OpenAsUser(const char16_t* target, ShellShow show);
