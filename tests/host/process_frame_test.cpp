// The process frame natively: the four objects are ready before main, the
// normal exit ends them cleanly, and ending a catalog frees all it holds.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/crc32.h"
#include "base/error_reporter.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace {
std::string CatalogWithLines(int lines) {
  std::string file = "***messages***\r\n";
  char line[32];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "%08x=\"line %d\"\r\n", static_cast<unsigned>(i), i);
    file += line;
  }
  return file;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

// Runs first in this program. Zeroed storage would pass for objects that
// hold nothing yet, so the test looks for what only the frame's steps leave:
// the checksum tables (first step) and the catalog's code page (last step).
TEST(ProcessFrame, ObjectsAreReadyBeforeMain) {
  // No test calls InitCrcTables: the frame filled the tables.
  EXPECT_EQ(~Crc32(0xFFFFFFFFu, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(&TheCatalog.Codec(), &SystemAnsi);
  EXPECT_FALSE(TheCatalog.IsLoaded());
  EXPECT_FALSE(TheResourceModule.loaded);
  EXPECT_EQ(TheErrorReporter.exitCode, 0);
}

// A step that ran twice, or on an object that was never built, would fault
// or (under the sanitizers) report a double free.
TEST(ProcessFrameDeathTest, NormalExitEndsTheObjectsCleanly) {
  const std::string file = CatalogWithLines(500);
  EXPECT_EXIT(
      {
        TheResourceModule.Load(reinterpret_cast<ModuleHandle>(0x1000), nullptr);
        if (!TheCatalog.LoadFromBytes(file.data(), file.size())) std::_Exit(3);
        if (TheCatalog.Index().items == nullptr) std::_Exit(4);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(std::exit(0), ::testing::ExitedWithCode(0), "") << "nothing loaded";
}

TEST(MessageCatalogEnd, FreesTextAndIndex) {
  const struct {
    const char* name;
    std::string file;
    bool text;
    bool index;
  } cases[] = {
      {"no catalog", "no marker here", false, false},
      {"marker line only", CatalogWithLines(0), true, false},
      {"grown index", CatalogWithLines(2000), true, true},
  };
  for (const auto& c : cases) {
    const size_t before = HeapInUse();
    {
      MessageCatalog catalog;
      catalog.LoadFromBytes(c.file.data(), c.file.size());
      EXPECT_EQ(catalog.Text() != nullptr, c.text) << c.name;
      EXPECT_EQ(catalog.Index().items != nullptr, c.index) << c.name;
    }
    EXPECT_EQ(HeapInUse(), before) << c.name;
  }
}
}  // namespace
