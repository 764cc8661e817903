// What the translator's tool needs from the system it runs on: code pages,
// its command line, whole-file reads and writes, and where it lies. Texts
// cross this boundary as UTF-8 (paths, arguments, messages).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/code_page.h"

namespace lngtool {

// The conversion of code page codePage, 0 meaning the system's ANSI code page
// (Windows-1252 on a system that has none). False, with a message, when the
// code page is not available here. The codec stays valid until the next call.
bool SelectCodePage(uint32_t codePage, const AnsiCodec** codec, std::string* error);

// The arguments after the program's name, as UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// fopen with a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool MakeDirectory(const std::string& path);

// The folder of the running program, with a trailing separator.
std::string OwnFolder();
// Standard output takes UTF-8 (a console is switched to it).
void PrepareConsole();

}  // namespace lngtool
