// What the launcher starts and opens, staged through the Sys table: the
// clean-up's interpreter, the installer's start and the accepted offer's
// steps around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "base/system_calls.h"
#include "launcher/installer_and_cleanup.h"
#include "launcher/self_removal.h"

namespace {

// Every staged call, in order, as "name:argument".
std::vector<std::u16string> calls;
std::u16string systemFolder;
constexpr uint32_t kFolderLength = ~0u;  // the folder's own length, as the call would
uint32_t systemFolderResult = kFolderLength;
bool processStarts = true;
bool shellAnswers = true;
std::u16string startedCommandLine;
std::u16string startedDirectory;
bool startedInheriting = false;
uint16_t startedShow = 0xFFFF;
const char16_t* firstUsePage = u"First use info URL";

PlatformHandle FakeHandle(uintptr_t n) { return reinterpret_cast<PlatformHandle>(n); }

class StagedSystem : public testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    systemFolder = u"C:\\windows\\system32";
    systemFolderResult = kFolderLength;
    processStarts = true;
    shellAnswers = true;
    startedCommandLine.clear();
    startedDirectory.clear();
    firstUsePage = u"First use info URL";
    Sys.getSystemDirectory = [](char16_t* buffer, uint32_t size) -> uint32_t {
      if (systemFolderResult != kFolderLength) return systemFolderResult;
      if (systemFolder.size() >= size) return static_cast<uint32_t>(systemFolder.size() + 1);
      CopyBounded(buffer, systemFolder.c_str(), size);
      return static_cast<uint32_t>(systemFolder.size());
    };
    Sys.createProcess = [](const char16_t* application, char16_t* commandLine, bool inherit,
                           uint16_t show, const char16_t* directory, ProcessHandles* started) {
      calls.push_back(u"start:" + std::u16string(application));
      startedCommandLine = commandLine;
      startedDirectory = directory != nullptr ? directory : u"(the launcher's)";
      startedInheriting = inherit;
      startedShow = show;
      if (!processStarts) return false;
      started->process = FakeHandle(0x10);
      started->thread = FakeHandle(0x20);
      return true;
    };
    Sys.closeHandle = [](PlatformHandle handle) {
      calls.push_back(handle == FakeHandle(0x10)   ? u"close:process"
                      : handle == FakeHandle(0x20) ? u"close:thread"
                                                   : u"close:other");
      return true;
    };
    Sys.deleteAtRestart = [](const char16_t* path) {
      calls.push_back(u"delete-at-restart:" + std::u16string(path));
      return true;
    };
    Sys.deleteFile = [](const char16_t* path) {
      calls.push_back(u"delete:" + std::u16string(path));
      return true;
    };
    Sys.openWithDesktopShell = [](const char16_t* target, uint16_t show) {
      calls.push_back(u"shell:" + std::u16string(target) +
                      (show == procapi::kShowNormal ? u"" : u"?"));
      return shellAnswers;
    };
  }

  static void ShowInformation(void* owner) {
    calls.push_back(owner == &calls ? u"info" : u"info:wrong owner");
  }
  static const char16_t* Fetch(int32_t id) { return id == kFirstUsePageId ? firstUsePage : u""; }
  static void Accept(const char16_t* installer) {
    CarryOutAcceptedOffer(installer, Fetch, ShowInformation, &calls);
  }

 private:
  SystemCallsOverride restore_;
};

std::u16string OwnPath() {
  char16_t own[kPathCapacity];
  const uint32_t n = Sys.getModuleFileName(own, kPathCapacity);
  return std::u16string(own, n);
}

std::u16string OwnFolder() {
  const std::u16string own = OwnPath();
  return own.substr(0, own.find_last_of(u'\\'));
}

// The system interpreter whatever COMSPEC says, without the user's AutoRun
// command or parsing settings, in the launcher's folder whatever the current
// directory, inheriting nothing; the catalog beside the launcher goes first.
TEST_F(StagedSystem, CleanupRunsTheSystemInterpreterWhateverCOMSPECSays) {
  const struct {
    const char16_t* folder;
    const char16_t* commandStart;
  } cases[] = {
      {u"C:\\windows\\system32", u"C:\\windows\\system32\\cmd.exe /d /e:on /v:off /c "},
      {u"D:\\Win Dows\\system32", u"\"D:\\Win Dows\\system32\\cmd.exe\" /d /e:on /v:off /c "},
  };
  setenv("COMSPEC", "C:\\users\\Public\\evil.exe", 1);
  for (const auto& c : cases) {
    SetUp();
    systemFolder = c.folder;
    EXPECT_TRUE(SelfRemoval());
    EXPECT_EQ(calls, (std::vector<std::u16string>{u"delete:" + OwnFolder() + u"\\launcher.lng",
                                                  u"start:" + systemFolder + u"\\cmd.exe"}));
    EXPECT_EQ(startedCommandLine, std::u16string(c.commandStart) +
                                      u".\\uninstall.exe/wait & del \"" + OwnPath() + u"\"");
    EXPECT_EQ(startedDirectory, OwnFolder());
    EXPECT_FALSE(startedInheriting);
    EXPECT_EQ(startedShow, procapi::kShowHide);
  }
  unsetenv("COMSPEC");
}

// A cut own path names another file and another folder: nothing is deleted
// or started.
TEST_F(StagedSystem, CleanupDoesNothingWithACutOwnPath) {
  Sys.getModuleFileName = [](char16_t* buffer, uint32_t size) {
    for (uint32_t i = 0; i + 1 < size; ++i) buffer[i] = u'p';
    buffer[size - 1] = 0;
    return size;
  };
  EXPECT_FALSE(SelfRemoval());
  EXPECT_TRUE(calls.empty());
}

// A folder too long to be a current directory: the catalog beside goes, the
// clean-up does not start (elsewhere it would run another uninstaller).
TEST_F(StagedSystem, CleanupStartsNothingInAFolderTooLongForACurrentDirectory) {
  static const std::u16string deep = u"C:\\" + std::u16string(256, u'd');
  Sys.getModuleFileName = [](char16_t* buffer, uint32_t size) {
    const std::u16string own = deep + u"\\Launcher.exe";
    CopyBounded(buffer, own.c_str(), size);
    return static_cast<uint32_t>(own.size());
  };
  EXPECT_FALSE(SelfRemoval());
  EXPECT_EQ(calls, std::vector<std::u16string>{u"delete:" + deep + u"\\launcher.lng"});
}

// An unknown folder, one that does not fit the path, and one whose command
// would not fit the command line: nothing starts.
TEST_F(StagedSystem, CleanupStartsNothingWithoutAWholeCommand) {
  const struct {
    uint32_t result;
    size_t folderLength;
  } cases[] = {
      {0, 0},                                         // the query fails
      {kPathCapacity + 40, 0},                        // needs more than the buffer
      {kFolderLength, kPathCapacity - 8},             // fits, but not with "\cmd.exe"
      {kFolderLength, kCleanupCommandCapacity - 40},  // fits the path, not the command line
  };
  for (const auto& c : cases) {
    SetUp();
    systemFolderResult = c.result;
    systemFolder = u"C:\\" + std::u16string(c.folderLength, u's');
    EXPECT_FALSE(SelfRemoval()) << c.result << " " << c.folderLength;
    EXPECT_EQ(calls, std::vector<std::u16string>{u"delete:" + OwnFolder() + u"\\launcher.lng"})
        << c.result << " " << c.folderLength;
  }
}

TEST_F(StagedSystem, InstallerStartsDirectlyAndItsHandlesAreClosed) {
  const std::u16string installer = u"C:\\Program Files\\Zentak\\Setup.exe";
  EXPECT_TRUE(StartInstaller(installer.c_str()));
  EXPECT_EQ(startedCommandLine, u"\"" + installer + u"\"");
  EXPECT_EQ(startedDirectory, u"C:\\Program Files\\Zentak");
  EXPECT_FALSE(startedInheriting);
  EXPECT_EQ(startedShow, procapi::kShowNormal);
  EXPECT_EQ(calls, (std::vector<std::u16string>{u"start:" + installer, u"close:thread",
                                                u"close:process"}));
}

TEST_F(StagedSystem, AFailedStartStillSchedulesTheDeletionAndShowsTheInformation) {
  processStarts = false;
  firstUsePage = u"https://example.test/first";
  Accept(u"C:\\Z\\Setup.exe");
  EXPECT_EQ(calls, (std::vector<std::u16string>{u"start:C:\\Z\\Setup.exe",
                                                u"delete-at-restart:C:\\Z\\Setup.exe", u"info",
                                                u"shell:https://example.test/first"}));
}

// When the desktop shell does not answer, that is the last call: nothing else
// is tried on the page's behalf.
TEST_F(StagedSystem, FirstUsePageOnlyAWebAddressAndOnlyThroughTheDesktopShell) {
  const struct {
    const char16_t* page;
    bool opened;
  } cases[] = {
      {u"First use info URL", false},   {u"http://example.test/", true},
      {u"HTTPS://EXAMPLE.TEST/", true}, {u"https://example.test/a b", false},
      {u"ftp://example.test/", false},  {u"https://", false},
  };
  for (bool answers : {true, false}) {
    for (const auto& c : cases) {
      SetUp();
      shellAnswers = answers;
      firstUsePage = c.page;
      Accept(u"C:\\Z\\Setup.exe");
      ASSERT_FALSE(calls.empty());
      const std::u16string last = calls.back();
      EXPECT_EQ(last, c.opened ? u"shell:" + std::u16string(c.page) : u"info")
          << std::string(last.begin(), last.end());
      EXPECT_EQ(std::count(calls.begin(), calls.end(), u"start:C:\\Z\\Setup.exe"), 1);
    }
  }
}

}  // namespace
