#include "launcher/installer_and_cleanup.h"

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"

namespace {

std::u16string Composed(const std::u16string& ownPath, const char16_t* name, bool* fit = nullptr) {
  std::u16string buffer(kPathCapacity, u'\0');
  buffer.replace(0, ownPath.size(), ownPath);
  const bool result = ComposeInstallerPath(&buffer[0], name);
  if (fit != nullptr) {
    *fit = result;
  }
  return std::u16string(buffer.c_str());
}

TEST(ComposeInstallerPath, ReplacesTheNamePart) {
  struct Case {
    const char16_t* own;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Program Files\\Zentak\\Launcher.exe", u"C:\\Program Files\\Zentak\\Setup.exe"},
      {u"C:/Zentak/Launcher.exe", u"C:/Zentak/Setup.exe"},
      {u"C:Launcher.exe", u"C:Setup.exe"},
      {u"Launcher.exe", u"Setup.exe"},
      {u"\\\\server\\share\\L.exe", u"\\\\server\\share\\Setup.exe"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Composed(c.own, u"Setup.exe"), c.expected) << c.expected;
  }
}

// The folder plus the name must fit 2047 units; a cut name would be another file.
TEST(ComposeInstallerPath, EmptiesAPathThatWouldBeCut) {
  const std::u16string name = u"BavPro_Setup_Mini_240.exe";
  const std::u16string folder = u"C:\\" + std::u16string(2047 - name.size() - 4, u'd') + u"\\";
  ASSERT_EQ(folder.size() + name.size(), 2047u);

  bool fit = false;
  EXPECT_EQ(Composed(folder + u"Launcher.exe", name.c_str(), &fit), folder + name);
  EXPECT_TRUE(fit);

  const std::u16string longer = u"C:\\e" + folder.substr(3);
  EXPECT_EQ(Composed(longer + u"Launcher.exe", name.c_str(), &fit), u"");
  EXPECT_FALSE(fit);
}

// The folder a start is given as its current directory.
TEST(FolderOfFile, TheFolderWithoutItsSeparatorExceptAtARoot) {
  struct Case {
    const char16_t* path;
    const char16_t* folder;  // empty: none
  } cases[] = {
      {u"C:\\Program Files\\Zentak\\Launcher.exe", u"C:\\Program Files\\Zentak"},
      {u"C:/Zentak/Launcher.exe", u"C:/Zentak"},
      {u"C:\\Launcher.exe", u"C:\\"},
      {u"\\\\server\\share\\L.exe", u"\\\\server\\share"},
      {u"Launcher.exe", u""},
      {u"", u""},
  };
  for (const Case& c : cases) {
    char16_t folder[kPathCapacity] = u"x";
    EXPECT_EQ(FolderOfFile(c.path, folder), c.folder[0] != 0) << c.folder;
    EXPECT_EQ(std::u16string(folder), c.folder);
  }
  // A current directory holds at most 258 units (MAX_PATH less the appended
  // backslash and the terminator).
  const std::u16string longest = u"C:\\" + std::u16string(255, u'd');
  char16_t folder[kPathCapacity];
  EXPECT_TRUE(FolderOfFile((longest + u"\\L.exe").c_str(), folder));
  EXPECT_EQ(std::u16string(folder), longest);
  EXPECT_FALSE(FolderOfFile((longest + u"d\\L.exe").c_str(), folder));
  EXPECT_EQ(std::u16string(folder), u"");
}

std::u16string Cleanup(const std::u16string& interpreter, const std::u16string& own,
                       bool* started) {
  char16_t line[kCleanupCommandCapacity];
  line[0] = u'x';
  *started = FormatCleanupCommand(line, interpreter.c_str(), own.c_str());
  return line;
}

TEST(FormatCleanupCommand, UninstallerThenDeletion) {
  bool ok = false;
  EXPECT_EQ(
      Cleanup(u"C:\\Windows\\system32\\cmd.exe", u"C:\\Program Files\\Zentak\\Launcher.exe", &ok),
      u"C:\\Windows\\system32\\cmd.exe /d /e:on /v:off /c .\\uninstall.exe/wait & del "
      u"\"C:\\Program Files\\Zentak\\Launcher.exe\"");
  EXPECT_TRUE(ok);
}

TEST(FormatCleanupCommand, RefusesWhatCannotRunAsIntended) {
  bool ok = true;
  EXPECT_EQ(Cleanup(u"", u"C:\\Zentak\\Launcher.exe", &ok), u"");
  EXPECT_FALSE(ok);

  // 49 fixed units (the switches counted) + interpreter + own path: 1023
  // fit, 1024 would be cut.
  const std::u16string interpreter = u"C:\\cmd.exe";
  const std::u16string own(1023 - 49 - interpreter.size(), u'p');
  const std::u16string full = Cleanup(interpreter, own, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(full.size(), 1023u);
  EXPECT_EQ(full.back(), u'"');

  EXPECT_EQ(Cleanup(interpreter, own + u"p", &ok), u"");
  EXPECT_FALSE(ok);
}

// A translated name is used only when plain; else the built-in one, and when
// even that is unusable, no path at all.
TEST(ChooseInstallerName, FallsBackToTheBuiltInNameThenToNone) {
  const char16_t* builtIn = u"BavPro_Setup_Mini_240.exe";
  const std::u16string own = u"C:\\Z\\Launcher.exe";
  EXPECT_EQ(Composed(own, ChooseInstallerName(u"Setup_de.exe", builtIn)), u"C:\\Z\\Setup_de.exe");
  EXPECT_EQ(Composed(own, ChooseInstallerName(u"..\\users\\Public\\evil.exe", builtIn)),
            u"C:\\Z\\BavPro_Setup_Mini_240.exe");
  EXPECT_EQ(Composed(own, ChooseInstallerName(u"", builtIn)), u"C:\\Z\\BavPro_Setup_Mini_240.exe");
  bool fit = true;
  EXPECT_EQ(Composed(own, ChooseInstallerName(u"NUL", u"C:\\x"), &fit), u"");
  EXPECT_FALSE(fit);
}

// A language file from the user's folder may name any file of the launcher's
// folder, such as the uninstaller: its name is not even asked for.
TEST(InstallerName, TranslatedOnlyWhenNoLanguageFileIsTheUsers) {
  static int translatedFetches;
  const auto fetch = [](int32_t id) -> const char16_t* {
    ++translatedFetches;
    return id == kInstallerNameId ? u"uninstall.exe" : u"";
  };
  const auto builtIn = [](int32_t id) -> const char16_t* {
    return id == kInstallerNameId ? u"BavPro_Setup_Mini_240.exe" : u"";
  };
  translatedFetches = 0;
  EXPECT_EQ(std::u16string(InstallerName(true, fetch, builtIn)), u"BavPro_Setup_Mini_240.exe");
  EXPECT_EQ(translatedFetches, 0);
  EXPECT_EQ(std::u16string(InstallerName(false, fetch, builtIn)), u"uninstall.exe");
}
}  // namespace
