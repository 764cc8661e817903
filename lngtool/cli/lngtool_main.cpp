// lngtool: the translator's toolkit for launcher.lng.
#include <cstdio>
#include <string>

#include "lngtool/cli/lngtool_commands.h"
#include "lngtool/io/lngtool_platform.h"

int main(int argc, char** argv) {
  lngtool::PrepareConsole();
  std::string out;
  std::string err;
  const int code = lngtool::RunLngtool(lngtool::CommandLineArguments(argc, argv),
                                       lngtool::OwnFolder(), &out, &err);
  if (!out.empty()) {
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  std::fflush(stdout);
  if (!err.empty()) {
    std::fwrite(err.data(), 1, err.size(), stderr);
  }
  return code;
}
