// OwnExecutablePath against a scripted module-name query: a cut path is no
// path.
#include "base/own_path.h"

#include <gtest/gtest.h>

#include <string>

#include "base/system_calls.h"

namespace {
std::u16string modulePath;
bool terminatesCut = true;  // newer systems terminate a cut name, older ones do not

// GetModuleFileNameW's contract: the length, or size when the name was cut.
uint32_t FakeModuleFileName(char16_t* buffer, uint32_t size) {
  if (modulePath.size() < size) {
    modulePath.copy(buffer, modulePath.size());
    buffer[modulePath.size()] = 0;
    return static_cast<uint32_t>(modulePath.size());
  }
  modulePath.copy(buffer, terminatesCut ? size - 1 : size);
  if (terminatesCut) buffer[size - 1] = 0;
  return size;
}

TEST(OwnPath, CutPathGivesFalseAndEmpty) {
  SystemCallsOverride restore;
  Sys.getModuleFileName = FakeModuleFileName;
  modulePath = u"C:\\Program\\Launcher.exe";  // 23 units
  struct Case {
    size_t cap;
    bool terminates;
    bool whole;
  } cases[] = {{24, true, true}, {23, true, false}, {23, false, false}, {8, true, false}};
  for (const Case& c : cases) {
    terminatesCut = c.terminates;
    char16_t dst[32] = u"untouched";
    EXPECT_EQ(OwnExecutablePath(dst, c.cap), c.whole) << c.cap;
    EXPECT_EQ(std::u16string(dst), c.whole ? modulePath : u"") << c.cap;
  }
}

TEST(OwnPath, FailedQueryGivesFalseAndEmpty) {
  SystemCallsOverride restore;
  Sys.getModuleFileName = [](char16_t*, uint32_t) { return 0u; };
  char16_t dst[8] = u"x";
  EXPECT_FALSE(OwnExecutablePath(dst, 8));
  EXPECT_EQ(dst[0], 0);
}
}  // namespace
