// Conversion between UTF-16 and the system ANSI code page: CP_ACP on Windows,
// Windows-1252 on the native build. Code that must work on both takes an
// AnsiCodec, so that tests and tools can hand it the conversion they need.
#pragma once
#include <cstddef>
#include <cstdint>

struct AnsiCodec {
  // Both store a terminator within cap and return true when the whole text fit.
  bool (*wideToAnsi)(const char16_t* src, char* dst, size_t cap);
  bool (*ansiToWide)(const char* src, char16_t* dst, size_t cap);
};

// The system's codec; defined by the platform layer.
extern const AnsiCodec SystemAnsi;

bool WideToAnsi(const char16_t* src, char* dst, size_t cap);
bool AnsiToWide(const char* src, char16_t* dst, size_t cap);

// The same for any code page the system has (Windows build only): what
// lngtool needs for a target system whose ANSI code page is another.
bool WideToCodePage(uint32_t codePage, const char16_t* src, char* dst, size_t cap);
bool CodePageToWide(uint32_t codePage, const char* src, char16_t* dst, size_t cap);

// Locale-aware case-insensitive comparison: -1, 0, +1, or -2 when it failed.
int CompareNoCase(const char16_t* a, const char16_t* b);
