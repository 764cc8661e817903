// lngtool: the translator's toolkit for launcher.lng.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "lngtool/cli/lngtool_commands.h"
#include "lngtool/io/lngtool_platform.h"

int main(int argc, char** argv) {
  lngtool::PrepareConsole();
  std::string out;
  std::string err;
  int code = lngtool::RunLngtool(lngtool::CommandLineArguments(argc, argv), lngtool::OwnFolder(),
                                 &out, &err);
  // A catalog that did not reach standard output (a full disk, a closed
  // pipe) is a failure like any other write.
  errno = 0;
  const bool written =
      (out.empty() || std::fwrite(out.data(), 1, out.size(), stdout) == out.size()) &&
      std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (!written) {
    const int why = errno;
    err += std::string("lngtool: cannot write standard output: ") +
           (why != 0 ? std::strerror(why) : "write error") + "\n";
    code = lngtool::kExitFailure;
  }
  if (!err.empty()) {
    std::fwrite(err.data(), 1, err.size(), stderr);
  }
  if (std::fclose(stdout) != 0 && written) {
    std::fputs("lngtool: cannot write standard output\n", stderr);
    code = lngtool::kExitFailure;
  }
  return code;
}
