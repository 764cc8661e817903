// The launcher's last step: its own removal, handed to a hidden command
// interpreter that outlives it.
#pragma once

// Deletes "launcher.lng" from the current directory and starts the clean-up
// command; false when nothing was started.
bool SelfRemoval();
