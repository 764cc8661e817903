// Bounded UTF-16 text in caller-owned buffers. A capacity is always the
// buffer's size in code units, terminator included; nothing here writes past
// it, everything terminates, and cutting is silent.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

constexpr size_t kPathCapacity = 2048;        // every path buffer
constexpr size_t kFetchCapacity = 512;        // a string-table text
constexpr size_t kDialogTextCapacity = 1024;  // a dialog or control text

size_t TextLength(const char16_t* text);
bool TextEqual(const char16_t* a, const char16_t* b);

// Copies at most cap - 1 units of src, zero-fills the rest of the capacity and
// terminates at cap - 1; with cap 0 nothing is written. Returns dst.
char16_t* CopyBounded(char16_t* dst, const char16_t* src, size_t cap);

// Appends to dst only when there is room for at least one more unit. Returns dst.
char16_t* AppendBounded(char16_t* dst, const char16_t* src, size_t cap);

// printf-style formatting: %s (a char16_t string), %c, %u, %d, %x and %X, with
// the flags '0' and '-', a width and the sizes l, ll and z; %% is a percent
// sign. Output is cut at cap - 1 units and terminated (cap >= 1).
void FormatBounded(char16_t* dst, size_t cap, const char16_t* format, ...);
void FormatBoundedV(char16_t* dst, size_t cap, const char16_t* format, va_list args);

// ASCII-only upper-casing, never locale-dependent: only 'a' to 'z' change.
char16_t UpperCaseChar(char16_t c);

// The run of leading decimal digits, in wrapping 64-bit arithmetic; no sign,
// no blanks; 0 when there are none.
int64_t ParseDecimal(const char16_t* text);
