// The flow's own Win32 steps against the real system: the DLL search
// hardening and the self-removal's file and process handling.
#include "launcher/offer_flow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/system_calls.h"
#include "launcher/self_removal.h"

namespace {

// A scratch folder made the current directory for one test.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"ztk_flow_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, saved_);
    SetCurrentDirectoryW(path_.c_str());
  }
  ~ScratchDirectory() {
    SetCurrentDirectoryW(saved_);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ScratchDirectory(ScratchDirectory&&) = delete;
  ScratchDirectory& operator=(ScratchDirectory&&) = delete;

  std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
  wchar_t saved_[MAX_PATH] = {};
};

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

// The DLL directory becomes the empty text, which on Windows takes the
// current directory out of the search order. (Wine treats an empty DLL
// directory like none and keeps searching the current directory, so what is
// checked here is the setting, not its effect on LoadLibrary.)
TEST(HardenDllSearchPath, SetsTheEmptyDllDirectory) {
  ASSERT_TRUE(SetDllDirectoryW(L"C:\\windows"));
  HardenDllSearchPath();
  wchar_t directory[MAX_PATH] = L"unchanged";
  EXPECT_EQ(GetDllDirectoryW(MAX_PATH, directory), 0u);
  EXPECT_STREQ(directory, L"");
  SetDllDirectoryW(nullptr);
}

// The table's entry is the process-wide call itself, accepted once the
// apartment is entered. (Windows refuses a second setting; Wine accepts it.)
TEST(ComSecurity, AcceptedInTheApartment) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  EXPECT_TRUE(Sys.coInitializeSecurity());
  CoUninitialize();
}

class SelfRemovalTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_.resize(32768);
    const DWORD n = GetEnvironmentVariableW(L"COMSPEC", &saved_[0], 32768);
    hadComspec_ = n > 0 && n < 32768;
    saved_.resize(hadComspec_ ? n : 0);
    started_.clear();
    directory_.clear();
    inherits_ = true;
    // A real start would delete this test program.
    Sys.createProcess = [](const char16_t* application, char16_t*, bool inherit, uint16_t,
                           const char16_t* directory, ProcessHandles*) {
      started_ = reinterpret_cast<const wchar_t*>(application);
      directory_ = directory != nullptr ? reinterpret_cast<const wchar_t*>(directory) : L"";
      inherits_ = inherit;
      return false;
    };
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"COMSPEC", hadComspec_ ? saved_.c_str() : nullptr);
  }

  static std::wstring started_, directory_, ownPath_;
  static bool inherits_;

 private:
  std::wstring saved_;
  bool hadComspec_ = false;
  SystemCallsOverride restore_;
};
std::wstring SelfRemovalTest::started_;
std::wstring SelfRemovalTest::directory_;
std::wstring SelfRemovalTest::ownPath_;
bool SelfRemovalTest::inherits_ = true;

// Whatever COMSPEC says, the interpreter is the system folder's cmd.exe,
// started in the launcher's folder; the catalog beside the launcher goes
// first, a user's catalog in the current directory stays, and a start that
// fails is reported as such.
TEST_F(SelfRemovalTest, DeletesTheCatalogBesideAndStartsTheSystemInterpreter) {
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const wchar_t* interpreters[] = {L"C:\\ztk-missing\\interp.exe", nullptr};
  for (const wchar_t* interpreter : interpreters) {
    ScratchDirectory current;  // the user's, such as Downloads
    Touch(current.File(L"launcher.lng"));
    const std::wstring own = current.File(L"own");
    ASSERT_TRUE(CreateDirectoryW(own.c_str(), nullptr));
    Touch(own + L"\\launcher.lng");
    Touch(own + L"\\other.lng");
    ownPath_ = own + L"\\Launcher.exe";
    Sys.getModuleFileName = [](char16_t* buffer, uint32_t size) {
      const size_t n = ownPath_.size() < size ? ownPath_.size() : size;
      ownPath_.copy(reinterpret_cast<wchar_t*>(buffer), n);
      if (n < size) buffer[n] = 0;
      return static_cast<uint32_t>(n);
    };
    SetEnvironmentVariableW(L"COMSPEC", interpreter);
    EXPECT_FALSE(SelfRemoval());
    EXPECT_EQ(started_, std::wstring(system) + L"\\cmd.exe");
    EXPECT_EQ(directory_, own);
    EXPECT_FALSE(inherits_);
    EXPECT_FALSE(Exists(own + L"\\launcher.lng"));
    EXPECT_TRUE(Exists(own + L"\\other.lng"));
    EXPECT_TRUE(Exists(current.File(L"launcher.lng")));
    DeleteFileW((own + L"\\other.lng").c_str());
    RemoveDirectoryW(own.c_str());
  }
}

}  // namespace
