// Inputs lngtool must not read: a FIFO (whose opening waits for a writer), a
// folder, a device that never ends and a file over the limit. The real
// program runs under a time limit, so a fault shows as a slow or killed run,
// not a hung test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "lngtool/io/exit_codes.h"
#include "lngtool/io/regular_file.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

struct TimedRun {
  int code;
  double seconds;
  std::string err;
};

TimedRun RunWithin(const std::string& arguments) {
  const std::string errFile = TempPath("input.err");
  const std::string command = "timeout 10 " + std::string(LNGTOOL_BINARY) + " " + arguments +
                              " > /dev/null 2> " + errFile + " < /dev/null";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::ifstream in(errFile);
  std::stringstream err;
  err << in.rdbuf();
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, took.count(), err.str()};
}

TEST(Input, RefusesAtOnceWhatIsNoRegularFileOfSaneSize) {
  const std::string fifo = TempPath("input.fifo");
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = TempPath("input.folder");
  mkdir(folder.c_str(), 0700);
  const std::string huge = TempPath("input_huge.lng");
  const int fd = open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kMaxInputBytes + 1)), 0);  // sparse: no disk used
  close(fd);
  const std::string out = TempPath("input_out.lng");
  const std::string catalog = TempPath("input_good.lng");
  ASSERT_TRUE(WriteWholeFile(catalog, Utf16File(TemplateCatalog())));
  const struct {
    std::string file;
    std::string says;
  } cases[] = {
      {fifo, "not a regular file"},
      {folder, "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {huge, "larger than 64 MiB"},
  };
  for (const auto& c : cases) {
    for (const std::string& arguments : {"check " + c.file, "import " + c.file + " --out " + out,
                                         "check " + catalog + " --module " + c.file}) {
      std::remove(out.c_str());
      const TimedRun run = RunWithin(arguments);
      EXPECT_EQ(run.code, kExitFailure) << arguments << "\n" << run.err;
      EXPECT_LT(run.seconds, 1.0) << arguments;
      EXPECT_NE(run.err.find(c.file + ": " + c.says), std::string::npos) << run.err;
      EXPECT_NE(access(out.c_str(), F_OK), 0) << arguments;
    }
  }
  std::remove(fifo.c_str());
  std::remove(huge.c_str());
  std::remove(catalog.c_str());
  rmdir(folder.c_str());
}

}  // namespace
}  // namespace lngtool
