// The setup package's command line (environment variable sfxcmd) tells
// whether the setup ran silently.
#pragma once
#include <cstddef>

constexpr size_t kSetupCommandCapacity = 1024;

// True when the text holds "-s" or "/s" (either case) followed by a
// non-letter, searched after an optional leading quoted program name. Only the
// 52 ASCII letters count as letters; every other unit, including those above
// 0xFF, ends a switch like a blank or the terminator does.
bool ScanSilentSwitch(const char16_t* commandLine);
