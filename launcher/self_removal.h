// The launcher's last step: its own removal, handed to a hidden command
// interpreter that outlives it.
#pragma once

// Deletes the "launcher.lng" beside the program and starts the clean-up
// command in the program's folder, whatever the current directory is (a
// setup may start the launcher anywhere, such as the user's own folder);
// false when nothing was started, as when that folder is too long to be a
// current directory.
bool SelfRemoval();
