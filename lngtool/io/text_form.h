// Text forms the tool converts between: UTF-8 for people, UTF-16 for the
// catalog, the catalog's escapes, and whole texts in an ANSI code page.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/code_page.h"

namespace lngtool {

std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);

// The catalog's escapes for a value: backslash, double quote, CR, LF and TAB,
// as the loader resolves them again.
std::u16string EscapeValue(const std::u16string& text);
// The loader's escape rules applied to a text that holds no line breaks:
// \" \\ \n \r \t resolved, any other backslash kept.
std::u16string ResolveEscapes(const std::u16string& text);

// A text for a message: escaped as in a catalog and quoted.
std::string Quoted(const std::u16string& text);

// A whole text in the code page of codec; *lossy when a character did not
// survive the round trip.
std::vector<uint8_t> EncodeAnsi(const AnsiCodec& codec, const std::u16string& text, bool* lossy);
// Bytes of that code page up to the first zero byte.
std::u16string DecodeAnsi(const AnsiCodec& codec, const uint8_t* bytes, size_t size);

// "%08x" of a key.
std::string KeyText(uint32_t key);

}  // namespace lngtool
