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

// The whole file; false with the system's reason in *reason (when given).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes,
                   std::string* reason = nullptr);
// Writes a temporary file beside path, flushes it and renames it over path,
// so that path holds either its old bytes or the new ones, never a part.
// False with the system's reason; the temporary file is then removed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* reason = nullptr);
bool MakeDirectory(const std::string& path);
// Something (a file or a folder) has this name.
bool PathTaken(const std::string& path);
// Both names lead to one existing file (links and spellings included).
bool SameFile(const std::string& a, const std::string& b);
// The system's text for an error code of the file calls ("Disk full").
std::string SystemErrorText(uint32_t code);

// The folder of the running program, with a trailing separator.
std::string OwnFolder();
// Standard output takes UTF-8 (a console is switched to it).
void PrepareConsole();

}  // namespace lngtool
