// The file object's logic through a scripted platform: failures that real
// files cannot be made to produce on demand (lock violations, broken pipes,
// unreadable blocks, failing closes).
#include "base/disk_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "base/error_reporter.h"
#include "tests/host/fake_system_calls.h"

namespace {
struct Message {
  int32_t code;
  std::u16string text;
  bool hasText;
};
std::vector<Message> messages;
void RecordMessage(int32_t code, const char16_t* text) {
  messages.push_back({code, text != nullptr ? text : u"", text != nullptr});
}

class DiskFileTest : public FakeSystemTest {
 protected:
  void SetUp() override {
    FakeSystemTest::SetUp();
    script.directory = u"C:\\work";
    script.deletable = u"*";
    messages.clear();
    DeliveredMessageObserver = RecordMessage;
    TheErrorReporter.silent = false;
  }
  void TearDown() override { DeliveredMessageObserver = nullptr; }
  // An object with an open scripted file.
  void OpenFile(DiskFile& file, int64_t size = 100) {
    script.size = size;
    ASSERT_TRUE(file.Open(u"C:\\work\\data.bin", 4));
    script.createCalls.clear();
  }
};

TEST_F(DiskFileTest, OpenChoosesAccessSharingAndScanHint) {
  const uint32_t r = fileapi::kGenericRead, w = fileapi::kGenericWrite;
  const uint32_t sr = fileapi::kShareRead, srw = fileapi::kShareRead | fileapi::kShareWrite;
  struct Case {
    uint32_t mode;
    bool shareWrite, noScan;
    uint32_t access, share, flags;
  } cases[] = {
      {0, false, false, r, sr, fileapi::kFlagSequentialScan},
      {4, false, false, r, srw, fileapi::kFlagSequentialScan},
      {1, false, false, r | w, sr, fileapi::kFlagSequentialScan},
      {5, false, false, r | w, srw, fileapi::kFlagSequentialScan},
      {2, false, false, w, sr, fileapi::kFlagSequentialScan},
      {3, false, false, w, sr, fileapi::kFlagSequentialScan},
      {6, false, false, w, srw, fileapi::kFlagSequentialScan},
      {7, false, true, w, srw, 0},
      {0, true, false, r, srw, fileapi::kFlagSequentialScan},
      {0, false, true, r, sr, 0},
  };
  for (const Case& c : cases) {
    script.createCalls.clear();
    DiskFile file;
    file.shareWrite = c.shareWrite;
    file.noSequentialScan = c.noScan;
    ASSERT_TRUE(file.Open(u"x.bin", c.mode));
    ASSERT_EQ(script.createCalls.size(), 1u);
    EXPECT_EQ(script.createCalls[0].access, c.access) << "mode " << c.mode;
    EXPECT_EQ(script.createCalls[0].share, c.share) << "mode " << c.mode;
    EXPECT_EQ(script.createCalls[0].flags, c.flags) << "mode " << c.mode;
  }
}

TEST_F(DiskFileTest, OpenFailureSetsNotFoundOnlyForFileNotFound) {
  const PlatformHandle bad = InvalidPlatformHandle();
  const uint32_t notFound = fileapi::kErrorFileNotFound, pathNotFound = 3, denied = 5, sharing = 32;
  struct Case {
    uint32_t plainError, longError;
    int32_t lastError;
  } cases[] = {
      {notFound, notFound, 1}, {pathNotFound, notFound, 1},     {notFound, denied, 1},
      {sharing, sharing, 0},   {pathNotFound, pathNotFound, 0},
  };
  for (const Case& c : cases) {
    script.creates = {{bad, c.plainError}, {bad, c.longError}};
    script.createCalls.clear();
    DiskFile file;
    file.lastError = 2;
    EXPECT_FALSE(file.Open(u"C:\\work\\missing.bin", 0));
    EXPECT_EQ(file.lastError, c.lastError) << c.plainError << "/" << c.longError;
    ASSERT_EQ(script.createCalls.size(), 2u);
    EXPECT_EQ(script.createCalls[1].name, u"\\\\?\\C:\\work\\missing.bin");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.fileName[0], 0);
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(DiskFileTest, OpenThroughLongFormKeepsCallersName) {
  script.creates = {{InvalidPlatformHandle(), 3}, {kLongFormHandle, 0}};
  DiskFile file;
  ASSERT_TRUE(file.Open(u"sub\\name.lng", 4));
  EXPECT_EQ(script.createCalls[1].name, u"\\\\?\\C:\\work\\sub\\name.lng");
  EXPECT_EQ(file.handle, kLongFormHandle);
  EXPECT_EQ(std::u16string(file.fileName), u"sub\\name.lng");
  EXPECT_EQ(file.lastError, 0);
}

TEST_F(DiskFileTest, OpenResetsHandleSettingsAndKeepsStateOnFailure) {
  DiskFile file;
  OpenFile(file);
  file.Close();
  file.handleType = 3;
  file.borrowedHandle = true;
  file.deleteOnClose = true;
  script.creates = {{InvalidPlatformHandle(), 5}, {InvalidPlatformHandle(), 5}};
  EXPECT_FALSE(file.Open(u"other.bin", 0));
  EXPECT_EQ(file.handleType, 0);
  EXPECT_FALSE(file.borrowedHandle);
  EXPECT_FALSE(file.deleteOnClose);
  EXPECT_EQ(std::u16string(file.fileName), u"C:\\work\\data.bin");
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(DiskFileTest, RawReadRetriesOnceWithTheSmallerCount) {
  const uint32_t lock = fileapi::kErrorLockViolation, pipe = fileapi::kErrorBrokenPipe, other = 31;
  struct Case {
    const char* what;
    int32_t handleType;
    uint32_t fileType;
    uint64_t count;
    std::deque<ReadStep> reads;
    std::vector<uint32_t> asked;
    int32_t result;
  } cases[] = {
      {"lock violation on 65536",
       0,
       fileapi::kFileTypeDisk,
       65536,
       {{false, 0, lock}},
       {65536, 32768},
       32768},
      {"lock violation on exactly 32768",
       0,
       fileapi::kFileTypeDisk,
       32768,
       {{false, 0, lock}},
       {32768},
       -1},
      {"lock violation twice",
       0,
       fileapi::kFileTypeDisk,
       65536,
       {{false, 0, lock}, {false, 0, lock}},
       {65536, 32768},
       -1},
      {"other error on own file",
       0,
       fileapi::kFileTypeDisk,
       65536,
       {{false, 0, other}},
       {65536},
       -1},
      {"lock violation on a standard handle",
       2,
       fileapi::kFileTypeDisk,
       65536,
       {{false, 0, lock}},
       {65536},
       -1},
      {"standard input is asked for 20000", 1, fileapi::kFileTypePipe, 65536, {}, {20000}, 20000},
      {"broken pipe on standard input",
       1,
       fileapi::kFileTypePipe,
       65536,
       {{false, 0, pipe}},
       {20000},
       0},
      {"broken pipe on an own pipe", 0, fileapi::kFileTypePipe, 100, {{false, 0, pipe}}, {100}, -1},
      {"failing character device",
       0,
       fileapi::kFileTypeChar,
       65536,
       {{false, 0, other}},
       {65536, 20000},
       20000},
      {"failing pipe at 20000", 0, fileapi::kFileTypePipe, 20000, {{false, 0, other}}, {20000}, -1},
      {"end of file", 0, fileapi::kFileTypeDisk, 10, {{true, 0, 0}}, {10}, 0},
  };
  static char buffer[65536];
  for (Case& c : cases) {
    script.readCounts.clear();
    script.fileType = c.fileType;
    script.reads = c.reads;
    DiskFile file;
    OpenFile(file);
    file.handleType = c.handleType;
    EXPECT_EQ(file.RawRead(buffer, c.count), c.result) << c.what;
    EXPECT_EQ(script.readCounts, c.asked) << c.what;
    file.handleType = 0;
  }
}

TEST_F(DiskFileTest, StandardInputIsFetchedOnEveryReadAndNeverClosed) {
  char buffer[16];
  {
    DiskFile input;
    input.handleType = 1;
    EXPECT_EQ(input.RawRead(buffer, 16), 16);
    EXPECT_EQ(input.RawRead(buffer, 16), 16);
    EXPECT_EQ(script.stdInputCalls, 2);
    EXPECT_EQ(script.readHandles, (std::vector<PlatformHandle>{kStdInHandle, kStdInHandle}));
    EXPECT_FALSE(input.Delete());
    EXPECT_TRUE(input.IsOpen());
  }
  EXPECT_TRUE(script.closed.empty());
  EXPECT_TRUE(script.deleted.empty());
}

TEST_F(DiskFileTest, ReadFailureSetsLastErrorAndIsNotRepeated) {
  char buffer[100];
  for (bool report : {true, false}) {
    DiskFile file;
    OpenFile(file);
    file.reportErrors = report;
    script.readCounts.clear();
    script.reads = {{false, 0, 31}, {true, 100, 0}};
    EXPECT_EQ(file.Read(buffer, 100), -1);
    EXPECT_EQ(file.lastError, 2);
    EXPECT_EQ(script.readCounts.size(), 1u);
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(DiskFileTest, ReadAtEndLeavesLastErrorAlone) {
  char buffer[100];
  DiskFile file;
  OpenFile(file);
  file.lastError = 1;
  script.reads = {{true, 40, 0}, {true, 0, 0}};
  EXPECT_EQ(file.Read(buffer, 100), 40);
  EXPECT_EQ(file.Read(buffer, 100), 0);
  EXPECT_EQ(file.lastError, 1);
}

TEST_F(DiskFileTest, BadBlockReadingSkipsUnreadablePieces) {
  const ReadStep fail{false, 0, 23};  // ERROR_CRC
  const ReadStep full{true, 512, 0};
  struct Case {
    const char* what;
    std::deque<ReadStep> reads;
    int32_t result;
    std::vector<uint32_t> asked;
  } cases[] = {
      {"middle piece unreadable", {fail, full, fail, full}, 1300, {1300, 512, 512, 276}},
      {"last piece unreadable", {fail, full, full, fail}, 1300, {1300, 512, 512, 276}},
      {"every piece unreadable", {fail, fail, fail, fail}, 1300, {1300, 512, 512, 276}},
      {"short piece at the end", {fail, full, fail, {true, 100, 0}}, 1124, {1300, 512, 512, 276}},
  };
  for (Case& c : cases) {
    DiskFile file;
    OpenFile(file, 5000);
    file.skipBadBlocks = true;
    file.Seek(1000, 0);
    script.readCounts.clear();
    script.readPositions.clear();
    script.reads = c.reads;
    std::vector<char> buffer(1300, '-');
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), c.result) << c.what;
    EXPECT_EQ(script.readCounts, c.asked) << c.what;
    EXPECT_EQ(script.readPositions, (std::vector<int64_t>{1000, 1000, 1512, 2024})) << c.what;
    EXPECT_EQ(file.lastError, 2);
    if (&c == &cases[0]) {
      EXPECT_EQ(buffer[0], 'b');
      EXPECT_EQ(buffer[512], '-');  // the unreadable piece keeps what was there
      EXPECT_EQ(buffer[1299], 'd');
    }
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(DiskFileTest, BadBlockReadingNeedsErrorReports) {
  DiskFile file;
  OpenFile(file, 5000);
  file.skipBadBlocks = true;
  file.reportErrors = false;
  script.reads = {{false, 0, 23}};
  char buffer[1300];
  EXPECT_EQ(file.Read(buffer, sizeof buffer), -1);
  EXPECT_EQ(script.readCounts.size(), 1u);
}

TEST_F(DiskFileTest, SeekTurnsNegativeRelativeOffsetsIntoPositions) {
  DiskFile file;
  OpenFile(file, 100);
  file.Seek(-10, 2);
  EXPECT_EQ(file.Tell(), 90);
  file.Seek(50, 0);
  file.Seek(-10, 1);
  EXPECT_EQ(file.Tell(), 40);
  file.Seek(5, 1);
  EXPECT_EQ(file.Tell(), 45);
  file.Seek(-5, 2);
  EXPECT_EQ(file.FileLength(), 100);
  EXPECT_EQ(file.Tell(), 95);  // FileLength puts the position back
  EXPECT_TRUE(messages.empty());
}

TEST_F(DiskFileTest, FailedSeeksAreReportedOnlyWhenAsked) {
  DiskFile file;
  OpenFile(file, 100);
  file.Seek(-10, 0);  // goes to the platform unchanged and fails there
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].code, 11);
  EXPECT_EQ(messages[0].text, u"C:\\work\\data.bin");
  EXPECT_FALSE(file.RawSeek(-10, 0));
  EXPECT_TRUE(file.RawSeek(10, 0));

  messages.clear();
  TheErrorReporter.silent = true;
  file.Seek(-10, 0);
  TheErrorReporter.silent = false;
  file.reportErrors = false;
  file.Seek(-10, 0);
  EXPECT_TRUE(messages.empty());
}

TEST_F(DiskFileTest, TellGivesTheFull64BitPosition) {
  DiskFile file;
  OpenFile(file, int64_t{6} << 30);
  for (int64_t position : {int64_t{0xFFFFFFFF}, int64_t{5} << 30, (int64_t{5} << 30) + 12345}) {
    file.Seek(position, 0);
    EXPECT_EQ(file.Tell(), position);
  }
  EXPECT_EQ(file.FileLength(), int64_t{6} << 30);
}

TEST_F(DiskFileTest, TellOnAClosedObjectOrFailedQuery) {
  DiskFile file;
  file.Seek(10, 0);  // not open: nothing happens, nothing is reported
  EXPECT_TRUE(messages.empty());
  file.reportErrors = false;
  EXPECT_EQ(file.Tell(), -1);
  EXPECT_TRUE(messages.empty());
  file.reportErrors = true;
  EXPECT_EQ(file.Tell(), -1);
  EXPECT_EQ(messages.size(), 1u);

  OpenFile(file);
  script.seekFails = true;
  messages.clear();
  EXPECT_EQ(file.Tell(), -1);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(DiskFileTest, CloseRules) {
  {
    DiskFile file;
    EXPECT_TRUE(file.Close());  // never opened
  }
  {
    DiskFile file;
    OpenFile(file);
    file.borrowedHandle = true;
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_TRUE(script.closed.empty());
  EXPECT_TRUE(messages.empty());

  script.closeResult = false;
  for (bool report : {true, false}) {
    DiskFile file;
    OpenFile(file);
    file.reportErrors = report;
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_EQ(script.closed.size(), 2u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].code, 10);
  EXPECT_EQ(messages[0].text, u"C:\\work\\data.bin");
}

TEST_F(DiskFileTest, DeleteRules) {
  {
    DiskFile file;
    OpenFile(file);
    file.handleType = 2;
    EXPECT_FALSE(file.Delete());
    EXPECT_TRUE(file.IsOpen());
    file.handleType = 0;
    file.allowDelete = false;
    EXPECT_FALSE(file.Delete());
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_EQ(script.closed.size(), 1u);
  EXPECT_TRUE(script.deleted.empty());

  DiskFile file;
  OpenFile(file);
  EXPECT_TRUE(file.Delete());
  EXPECT_EQ(script.closed.size(), 2u);
  EXPECT_EQ(script.deleted, (std::vector<std::u16string>{u"C:\\work\\data.bin"}));
  EXPECT_EQ(std::u16string(file.fileName), u"C:\\work\\data.bin");  // still names the file
}

TEST_F(DiskFileTest, DestructionClosesOrDeletes) {
  {
    DiskFile file;
    OpenFile(file);
  }
  EXPECT_EQ(script.closed.size(), 1u);
  EXPECT_TRUE(script.deleted.empty());
  {
    DiskFile file;
    OpenFile(file);
    file.deleteOnClose = true;
  }
  EXPECT_EQ(script.closed.size(), 2u);
  EXPECT_EQ(script.deleted.size(), 1u);
  {
    DiskFile file;
    OpenFile(file);
    file.deleteOnClose = true;
    file.borrowedHandle = true;
  }
  EXPECT_EQ(script.closed.size(), 2u);
  EXPECT_EQ(script.deleted.size(), 1u);
}

// The native stand-ins behind the same object: a real file end to end.
TEST(DiskFileHostTest, RealFileRoundTrip) {
  char path[] = "/tmp/ztk_disk_file_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string content(100, 'x');
  content[90] = 'N';
  ASSERT_EQ(write(fd, content.data(), content.size()), 100);
  close(fd);
  std::u16string name(path, path + std::strlen(path));
  {
    DiskFile file;
    ASSERT_TRUE(file.Open(name.c_str(), 4));
    EXPECT_EQ(file.FileLength(), 100);
    file.Seek(-10, 2);
    EXPECT_EQ(file.Tell(), 90);
    char buffer[64] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 10);
    EXPECT_EQ(buffer[0], 'N');
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0);
    file.deleteOnClose = true;
  }
  EXPECT_NE(access(path, F_OK), 0);
  DiskFile missing;
  EXPECT_FALSE(missing.Open(name.c_str(), 0));
  EXPECT_EQ(missing.lastError, 1);
}

class ErrorReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    messages.clear();
    DeliveredMessageObserver = RecordMessage;
  }
  void TearDown() override { DeliveredMessageObserver = nullptr; }
  ErrorReporter reporter;
};

TEST_F(ErrorReporterTest, CloseAndSeekErrorsAreDeliveredUnlessSilent) {
  reporter.CloseError(u"a.bin");
  reporter.SeekError(u"b.bin");
  reporter.ReadError(u"c.bin");
  EXPECT_FALSE(reporter.AskRepeatRead(u"c.bin"));
  reporter.silent = true;
  reporter.CloseError(u"d.bin");
  reporter.SeekError(u"e.bin");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].code, 10);
  EXPECT_EQ(messages[0].text, u"a.bin");
  EXPECT_EQ(messages[1].code, 11);
  EXPECT_EQ(messages[1].text, u"b.bin");
  EXPECT_EQ(reporter.errorCount, 0);
  EXPECT_EQ(reporter.exitCode, 0);
}

TEST_F(ErrorReporterTest, GeneralMessageIsFormattedCutAndDeliveredEvenWhenSilent) {
  reporter.silent = true;
  reporter.GeneralMessage(u"%s: %u items", u"index", 12u);
  const std::u16string longText(3000, u'w');
  reporter.GeneralMessage(u"%s!", longText.c_str());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].code, 1);
  EXPECT_EQ(messages[0].text, u"index: 12 items");
  EXPECT_EQ(messages[1].text, std::u16string(1023, u'w'));
}

TEST_F(ErrorReporterTest, MemoryErrorCountsTwiceAndThrowsExitCode8) {
  reporter.errorCount = 3;
  try {
    reporter.MemoryError();
    ADD_FAILURE() << "MemoryError returned";
  } catch (ZTK_EXIT code) {
    EXPECT_EQ(code, ZTK_MEMORY);
    EXPECT_EQ(static_cast<int>(code), 8);
  }
  EXPECT_EQ(reporter.errorCount, 5);
  EXPECT_EQ(reporter.exitCode, 8);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].code, 7);
  EXPECT_FALSE(messages[0].hasText);
}

}  // namespace
