// lngtool's command line: each command's option table, the parser that reads
// arguments by it, and the help made from it, so that what a command takes
// and what its help says cannot drift apart.
#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace lngtool {

struct Option {
  const char* name;
  const char* value;  // its placeholder, or null for a switch
  const char* help;
};

class Tool;
struct Command {
  const char* name;
  const char* operands;
  const char* summary;
  size_t minOperands;
  size_t maxOperands;
  std::vector<Option> options;
  int (Tool::*run)();
};

struct Arguments {
  std::vector<std::string> operands;
  std::map<std::string, std::string> options;
};

// Every command, in the order the overview lists them.
const std::vector<Command>& Commands();
// The command of that name, or null.
const Command* FindCommand(const std::string& name);

// The command's arguments (args[0] is the command's name) by its own option
// table; false with the reason.
bool ParseArguments(const Command& command, const std::vector<std::string>& args, Arguments* parsed,
                    std::string* why);
// --help or -h before any "--".
bool AsksForHelp(const std::vector<std::string>& args);

std::string CommandHelp(const Command& command);
std::string Overview();

}  // namespace lngtool
