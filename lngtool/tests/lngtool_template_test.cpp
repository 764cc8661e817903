// "lngtool template" and "lngtool key": a catalog the launcher's own loader
// reads back entry for entry, in both file forms.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "lngtool/io/text_form.h"
#include "lngtool_test_support.h"
#include "localization/message_catalog.h"

namespace lngtool {
namespace {

// What the launcher shows for each text with this catalog loaded.
std::map<uint32_t, std::u16string> Shown(const std::vector<uint8_t>& file,
                                         const std::vector<ProgramText>& texts) {
  MessageCatalog catalog;
  EXPECT_TRUE(catalog.LoadFromBytes(file.data(), file.size()));
  std::map<uint32_t, std::u16string> shown;
  for (const ProgramText& t : texts) {
    std::vector<char16_t> buffer(t.Capacity(), 0);
    catalog.Translate(t.source.c_str(), buffer.data(), buffer.size(), t.kind,
                      t.hasContext ? t.context.c_str() : nullptr);
    shown[t.key] = buffer.data();
  }
  return shown;
}

TEST(Template, EveryTextOfBothDialogsAndTheStrings) {
  const std::vector<ProgramText> texts = LauncherTexts();
  std::multiset<std::u16string> where;
  size_t scale = 0;
  size_t direction = 0;
  for (const ProgramText& t : texts) {
    where.insert(t.hasContext ? t.context : u"s");
    scale += t.role == TextRole::kScale ? 1 : 0;
    direction += t.role == TextRole::kDirection ? 1 : 0;
  }
  EXPECT_EQ(where.count(u"s"), 6u);           // strings 5101 to 5106
  EXPECT_EQ(where.count(u"LAUNCHDLG"), 10u);  // title, 8 non-empty controls, scale
  EXPECT_EQ(where.count(u"INFODLG"), 4u);     // title, 2 non-empty controls, scale
  EXPECT_EQ(scale, 2u);
  EXPECT_EQ(direction, 1u);
  // The worked keys: a wrong key would fail silently in the launcher.
  std::set<std::string> keys;
  for (const ProgramText& t : texts) {
    keys.insert(KeyText(t.key));
  }
  for (const char* key : {"50a17ae8", "be06f7dd", "2bfcfcd7", "ad441f3e", "d82d648f"}) {
    EXPECT_EQ(keys.count(key), 1u) << key;
  }
}

TEST(Template, LoaderReadsEveryValueBackInBothForms) {
  const std::vector<ProgramText> texts = LauncherTexts();
  std::vector<CatalogEntry> entries = FreshEntries(texts);
  for (const bool changed : {false, true}) {
    if (changed) {
      // Every character the writer must escape, in every value.
      for (CatalogEntry& e : entries) {
        e.value = u"\"\xE9t\xE9\" \\n\\ \t\r\n" + e.value + u"\\";
      }
    }
    const std::u16string text = ComposeCatalog(TemplateHeader("x"), entries, {});
    for (const bool ansi : {false, true}) {
      const std::map<uint32_t, std::u16string> shown =
          Shown(ansi ? AnsiFile(text) : Utf16File(text), texts);
      for (const CatalogEntry& e : entries) {
        EXPECT_EQ(shown.at(e.text.key), e.value)
            << ToUtf8(e.text.source) << (ansi ? " (8-bit)" : " (UTF-16)");
      }
    }
  }
}

TEST(Template, CommentBeforeEachEntryNamesKindContextAndSource) {
  const std::u16string text = TemplateCatalog();
  std::vector<std::u16string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find(u"\r\n", at);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  size_t entries = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (!LooksLikeKey(lines[i])) {
      continue;
    }
    ++entries;
    EXPECT_EQ(lines[i - 1].rfind(u"# ", 0), 0u) << ToUtf8(lines[i]);
  }
  EXPECT_EQ(entries, 21u);
  const std::string all = ToUtf8(text);
  EXPECT_NE(all.find("# s \"\\r\\n\\r\\nYou can close this window now.\" (string 5106)\r\n"
                     "b67d4afa=\"\\r\\n\\r\\nYou can close this window now.\""),
            std::string::npos);
  EXPECT_NE(all.find("# $ INFODLG \"OK\" (control 1, BUTTON)\r\nad441f3e=\"OK\""),
            std::string::npos);
  EXPECT_NE(all.find("be06f7dd=\"100*100\""), std::string::npos);
  EXPECT_NE(all.find("# $ LTR \"LTR\" (text direction"), std::string::npos);
  EXPECT_NE(all.find("50a17ae8=\"LTR\""), std::string::npos);
}

TEST(Template, ThenCheckIsClean) {
  for (const bool ansi : {false, true}) {
    const CheckReport report =
        CheckBytes(ansi ? AnsiFile(TemplateCatalog()) : Utf16File(TemplateCatalog()));
    for (const CheckFinding& f : report.findings) {
      EXPECT_EQ(f.severity, Severity::kNote) << f.line << ": " << f.message;
    }
    EXPECT_EQ(report.total, 21u);
    EXPECT_EQ(report.untranslated, 21u);
    EXPECT_EQ(report.missing, 0u);
  }
}

TEST(Template, CommandWritesUtf16OrAnsi) {
  const ToolRun utf16 = RunTool({"template"});  // Launcher.exe from the default folder
  ASSERT_EQ(utf16.code, 0) << utf16.err;
  EXPECT_EQ(utf16.out.substr(0, 2), "\xFF\xFE");
  EXPECT_TRUE(utf16.err.empty()) << utf16.err;
  const ToolRun ansi = RunTool({"template", FixturePath("Launcher.exe"), "--ansi"});
  ASSERT_EQ(ansi.code, 0);
  EXPECT_EQ(ansi.out.rfind("; Message catalog", 0), 0u);
  EXPECT_NE(ansi.out.find("\r\n***messages***\r\n"), std::string::npos);

  const std::string path = TempPath("template.lng");
  ASSERT_EQ(RunTool({"template", "--out", path, "--force"}).code, 0);
  EXPECT_EQ(RunTool({"check", path}).code, 0);

  EXPECT_EQ(RunTool({"template", FixturePath("missing.exe")}).code, kExitFailure);
  EXPECT_EQ(RunTool({"template", "--codepage", "x"}).code, kExitFailure);
}

TEST(Template, LanguageModuleGivesDialogsProgramGivesStrings) {
  const ToolRun run = RunTool({"template", FixturePath("ztklng_de.dll"), "--ansi"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("=\"Zentak Einrichtung\""), std::string::npos);
  // The program's English string, not the module's German one: with a
  // catalog loaded the launcher fetches strings from itself.
  EXPECT_NE(run.out.find("d82d648f=\"It may take a few minutes"), std::string::npos);
  EXPECT_EQ(run.out.find("Die Installation"), std::string::npos);
  // Without the program beside lngtool, the module's own strings, named as
  // a stand-in; a program named but missing is an error.
  ToolRun alone{0, "", ""};
  alone.code = RunLngtool({"template", FixturePath("ztklng_de.dll"), "--ansi"},
                          TempPath("nowhere/"), &alone.out, &alone.err);
  EXPECT_EQ(alone.code, 0);
  EXPECT_NE(alone.err.find("warning: cannot read the default program"), std::string::npos)
      << alone.err;
  EXPECT_NE(alone.out.find("=\"Die Installation"), std::string::npos);
  EXPECT_EQ(
      RunTool({"template", FixturePath("ztklng_de.dll"), "--program", FixturePath("none.exe")})
          .code,
      kExitFailure);
}

TEST(Key, WorkedKeysKindNamesAndEscapes) {
  const struct {
    std::vector<std::string> args;
    std::string key;
  } cases[] = {
      {{"key", "$", "LTR", "LTR"}, "50a17ae8"},
      {{"key", "dialog", "LAUNCHDLG", ""}, "be06f7dd"},
      {{"key", "$", "INFODLG", ""}, "2bfcfcd7"},
      {{"key", "$", "INFODLG", "OK"}, "ad441f3e"},
      {{"key", "s", "It may take a few minutes to finish the installation of Baidu Antivirus."},
       "d82d648f"},
      {{"key", "string", "-e", "\\r\\n\\r\\nYou can close this window now."}, "b67d4afa"},
      // Context and source are joined without a separator.
      {{"key", "$", "INFO", "DLGOK"}, "ad441f3e"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, c.key + "\n") << c.args.back();
  }
  EXPECT_NE(RunTool({"key", "@", "x"}).out, RunTool({"key", "s", "x"}).out);
  EXPECT_EQ(RunTool({"key", "q", "x"}).code, kExitFailure);
  EXPECT_EQ(RunTool({"key", "s"}).code, kExitFailure);
}

}  // namespace
}  // namespace lngtool
