// UTF-8 beside the core's UTF-16: for the native stand-ins (file names) and
// lngtool (its command line, messages and the translators' formats).
#pragma once
#include <cstddef>
#include <string>

// A lone surrogate, which has no UTF-8 form, becomes U+FFFD.
std::string Utf16ToUtf8(const char16_t* text, size_t length);
// Lenient: each byte that starts no well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(const char* text, size_t length);
// Strict (no overlong forms, surrogates or values past U+10FFFF); on false,
// *faultAt is the offset of the first byte that is not UTF-8.
bool IsValidUtf8(const char* text, size_t length, size_t* faultAt);
