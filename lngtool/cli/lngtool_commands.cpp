#include "lngtool/cli/lngtool_commands.h"

#include "lngtool/cli/command_line.h"
#include "lngtool/cli/tool.h"

namespace lngtool {
namespace {
constexpr char kVersion[] = "lngtool (Zentak install launcher) " LNGTOOL_VERSION "\n";
}  // namespace

int RunLngtool(const std::vector<std::string>& args, const std::string& defaultFolder,
               std::string* out, std::string* err) {
  if (args.empty()) {
    *err += "lngtool: no command given\nTry 'lngtool --help'.\n";
    return kExitFailure;
  }
  const std::string& first = args[0];
  if (first == "--version" || first == "-V") {
    *out += kVersion;
    return kExitFine;
  }
  if (first == "--help" || first == "-h" || first == "help") {
    if (first != "help" || args.size() == 1) {
      *out += Overview();
      return kExitFine;
    }
    const Command* c = FindCommand(args[1]);
    if (c == nullptr) {
      *err += "lngtool: no command " + args[1] + "\nTry 'lngtool --help'.\n";
      return kExitFailure;
    }
    *out += CommandHelp(*c);
    return kExitFine;
  }
  const Command* c = FindCommand(first);
  if (c == nullptr) {
    *err += "lngtool: unknown command " + first + "\nTry 'lngtool --help'.\n";
    return kExitFailure;
  }
  if (AsksForHelp(args)) {
    *out += CommandHelp(*c);
    return kExitFine;
  }
  Arguments parsed;
  std::string why;
  if (!ParseArguments(*c, args, &parsed, &why)) {
    *err += "lngtool " + first + ": " + why + "\nTry 'lngtool " + first + " --help'.\n";
    return kExitFailure;
  }
  Tool tool(*c, std::move(parsed), defaultFolder, out, err);
  return tool.Run();
}

}  // namespace lngtool
