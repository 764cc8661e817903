// The file object on the real platform: sharing, the long form, positions
// beyond 4 GiB and pipes as Windows (here Wine) gives them. Lock violations
// are left to the host suite: Wine does not enforce byte-range locks on reads.
#include "base/disk_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/wide_bridge.h"

namespace {

std::u16string U16(const std::wstring& text) { return AsUtf16(text.c_str()); }

class RealDiskFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::wstring(temp) + L"ztk_df_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::wstring(info->name(), info->name() + strlen(info->name()));
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
      if (!DeleteFileW(it->c_str())) {
        RemoveDirectoryW(it->c_str());
      }
    }
    RemoveDirectoryW(dir.c_str());
  }

  std::wstring MakeFile(const std::wstring& name, size_t size) {
    std::wstring path = name.rfind(L"\\\\?\\", 0) == 0 ? name : dir + L"\\" + name;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
      bytes[i] = static_cast<char>(i);
    }
    DWORD done = 0;
    if (size > 0) {
      EXPECT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(size), &done, nullptr));
    }
    CloseHandle(h);
    created.push_back(path);
    return path;
  }

  std::wstring dir;
  std::vector<std::wstring> created;
};

TEST_F(RealDiskFileTest, MissingFileIsNotFound) {
  DiskFile file;
  EXPECT_FALSE(file.Open(U16(dir + L"\\missing.bin").c_str(), 4));
  EXPECT_EQ(file.lastError, 1);
  // A missing directory is not "not found" in this sense.
  EXPECT_FALSE(file.Open(U16(dir + L"\\nodir\\missing.bin").c_str(), 4));
  EXPECT_EQ(file.lastError, 0);
}

TEST_F(RealDiskFileTest, SharingDecidesWhetherAHeldFileOpens) {
  const std::wstring path = MakeFile(L"held.bin", 10);
  const std::u16string name = U16(path);
  {
    HANDLE exclusive =
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    DiskFile file;
    EXPECT_FALSE(file.Open(name.c_str(), 4));
    EXPECT_EQ(file.lastError, 0);
    CloseHandle(exclusive);
  }
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DiskFile readOnlySharing;
  EXPECT_FALSE(readOnlySharing.Open(name.c_str(), 0));
  EXPECT_EQ(readOnlySharing.lastError, 0);
  DiskFile letOthersWrite;
  EXPECT_TRUE(letOthersWrite.Open(name.c_str(), 4));
  char buffer[16];
  EXPECT_EQ(letOthersWrite.Read(buffer, sizeof buffer), 10);
  CloseHandle(writer);
}

// Records every name CreateFileW is asked for. Wine opens plain names of any
// length; Windows without long-path support refuses those beyond MAX_PATH, and
// this does the same, so that the long form is what really opens the file.
std::vector<std::u16string> openedNames;
PlatformHandle (*realCreate)(const char16_t*, uint32_t, uint32_t, uint32_t) = nullptr;
PlatformHandle ShortPathCreate(const char16_t* name, uint32_t access, uint32_t share,
                               uint32_t flags) {
  openedNames.emplace_back(name);
  if (openedNames.back().size() >= MAX_PATH && openedNames.back().rfind(u"\\\\?\\", 0) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return InvalidPlatformHandle();
  }
  return realCreate(name, access, share, flags);
}

TEST_F(RealDiskFileTest, LongNameOpensAndKeepsTheCallersName) {
  std::wstring longDir = L"\\\\?\\" + dir;
  for (int i = 0; i < 3; ++i) {
    longDir += L"\\" + std::wstring(100, static_cast<wchar_t>(L'a' + i));
    ASSERT_TRUE(CreateDirectoryW(longDir.c_str(), nullptr));
    created.push_back(longDir);
  }
  MakeFile(longDir + L"\\data.bin", 300);
  const std::wstring plain = longDir.substr(4) + L"\\data.bin";
  ASSERT_GT(plain.size(), static_cast<size_t>(MAX_PATH));

  SystemCallsOverride restore;
  openedNames.clear();
  realCreate = Sys.createFile;
  Sys.createFile = ShortPathCreate;
  DiskFile file;
  ASSERT_TRUE(file.Open(U16(plain).c_str(), 4));
  EXPECT_EQ(std::u16string(file.fileName), U16(plain));
  EXPECT_EQ(file.lastError, 0);
  EXPECT_EQ(openedNames, (std::vector<std::u16string>{U16(plain), U16(L"\\\\?\\" + plain)}));
  EXPECT_EQ(file.FileLength(), 300);
  EXPECT_TRUE(file.Delete());
  EXPECT_EQ(GetFileAttributesW((longDir + L"\\data.bin").c_str()), INVALID_FILE_ATTRIBUTES);

  // Not found is judged by the long form's answer.
  DiskFile missing;
  EXPECT_FALSE(missing.Open(U16(plain).c_str(), 4));
  EXPECT_EQ(missing.lastError, 1);
}

TEST_F(RealDiskFileTest, PositionsFromTheStartTheEndAndTheCurrentPlace) {
  const std::u16string name = U16(MakeFile(L"hundred.bin", 100));
  DiskFile file;
  ASSERT_TRUE(file.Open(name.c_str(), 0));
  EXPECT_EQ(file.FileLength(), 100);
  EXPECT_EQ(file.Tell(), 0);
  file.Seek(-10, 2);
  EXPECT_EQ(file.Tell(), 90);
  unsigned char buffer[64] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 10);
  EXPECT_EQ(buffer[0], 90);
  file.lastError = 1;
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(file.lastError, 1);
  file.Seek(50, 0);
  file.Seek(-10, 1);
  EXPECT_EQ(file.Tell(), 40);
  file.reportErrors = false;
  file.Seek(-10, 0);  // refused by the platform; the position stays
  EXPECT_FALSE(file.RawSeek(-10, 0));
  EXPECT_EQ(file.Tell(), 40);
  EXPECT_FALSE(file.IsDevice());
}

TEST_F(RealDiskFileTest, TellBeyondFourGiB) {
  const std::wstring path = MakeFile(L"sparse.bin", 0);
  constexpr int64_t kSize = (int64_t{5} << 30) + 100;
  {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = kSize;
    const bool extended = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    if (!extended) {
      GTEST_SKIP() << "no room for a 5 GiB file here";
    }
  }
  DiskFile file;
  ASSERT_TRUE(file.Open(U16(path).c_str(), 4));
  EXPECT_EQ(file.FileLength(), kSize);
  file.Seek(-10, 2);
  EXPECT_EQ(file.Tell(), kSize - 10);
  file.Seek(int64_t{0xFFFFFFFF}, 0);  // low part 0xFFFFFFFF is a position, not a failure
  EXPECT_EQ(file.Tell(), int64_t{0xFFFFFFFF});
  char buffer[4] = {1, 1, 1, 1};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 4);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(file.Tell(), int64_t{0x100000003});
}

TEST_F(RealDiskFileTest, PipeAsStandardInputReadsUntilTheWriterCloses) {
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  const HANDLE savedInput = GetStdHandle(STD_INPUT_HANDLE);
  ASSERT_TRUE(SetStdHandle(STD_INPUT_HANDLE, readEnd));
  {
    DiskFile input;
    input.handleType = 1;
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(writeEnd, "hello", 5, &done, nullptr));
    CloseHandle(writeEnd);
    char buffer[65536];
    EXPECT_EQ(input.Read(buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_TRUE(input.IsDevice());
    EXPECT_EQ(input.Read(buffer, sizeof buffer), 0);
    EXPECT_EQ(input.lastError, 0);
  }
  // The object never closes standard input.
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(readEnd, &flags));
  SetStdHandle(STD_INPUT_HANDLE, savedInput);
  CloseHandle(readEnd);
}

TEST_F(RealDiskFileTest, DestructionDeletesClosesOrLeavesBorrowedHandles) {
  const std::wstring doomed = MakeFile(L"doomed.bin", 10);
  {
    DiskFile file;
    ASSERT_TRUE(file.Open(U16(doomed).c_str(), 0));
    file.deleteOnClose = true;
  }
  EXPECT_EQ(GetFileAttributesW(doomed.c_str()), INVALID_FILE_ATTRIBUTES);

  const std::wstring kept = MakeFile(L"kept.bin", 10);
  HANDLE borrowed = CreateFileW(kept.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(borrowed, INVALID_HANDLE_VALUE);
  {
    DiskFile file;
    file.handle = borrowed;
    file.borrowedHandle = true;
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 4);
  }
  DWORD flags = 0;
  EXPECT_TRUE(GetHandleInformation(borrowed, &flags));
  CloseHandle(borrowed);

  {
    DiskFile file;
    ASSERT_TRUE(file.Open(U16(kept).c_str(), 0));
    file.allowDelete = false;
    EXPECT_FALSE(file.Delete());
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_NE(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);
  // Closed, so nothing holds the file any more.
  HANDLE exclusive = CreateFileW(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  CloseHandle(exclusive);
}

}  // namespace
