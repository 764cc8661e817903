// Shared by the lngtool suites: the launcher's texts from the fixture module
// built from resources/, catalogs made from them, and the tool run in-process.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lngtool/catalog/catalog_check.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/cli/lngtool_commands.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/program/pe_resources.h"
#include "lngtool/program/program_texts.h"

namespace lngtool {

inline std::string FixturePath(const std::string& name) {
  return std::string(LNGTOOL_FIXTURES) + "/" + name;
}

inline std::vector<ProgramText> LauncherTexts() {
  std::vector<uint8_t> bytes;
  PeModule module;
  EXPECT_TRUE(ReadWholeFile(FixturePath("Launcher.exe"), &bytes));
  EXPECT_TRUE(module.Load(bytes));
  std::vector<std::string> problems;
  std::vector<ProgramText> texts = CollectProgramTexts(module, nullptr, SystemAnsi, &problems);
  EXPECT_TRUE(problems.empty());
  return texts;
}

inline std::vector<CatalogEntry> FreshEntries(const std::vector<ProgramText>& texts) {
  std::vector<CatalogEntry> entries;
  entries.reserve(texts.size());
  for (const ProgramText& t : texts) {
    entries.push_back({t, DefaultValue(t)});
  }
  return entries;
}

inline std::u16string TemplateCatalog() {
  return ComposeCatalog(TemplateHeader("Launcher.exe"), FreshEntries(LauncherTexts()), {});
}

inline std::vector<uint8_t> Utf16File(const std::u16string& text) {
  bool lossy = false;
  return EncodeCatalog(text, FileForm::kUtf16, SystemAnsi, &lossy);
}

inline std::vector<uint8_t> AnsiFile(const std::u16string& text) {
  bool lossy = false;
  return EncodeCatalog(text, FileForm::kAnsi, SystemAnsi, &lossy);
}

inline CheckReport CheckBytes(const std::vector<uint8_t>& bytes) {
  static const std::vector<ProgramText> texts = LauncherTexts();
  CatalogFile file(SystemAnsi);
  file.Load(bytes);
  return CheckCatalog(file, &texts, SystemAnsi, 1252);
}

struct ToolRun {
  int code;
  std::string out;
  std::string err;
};

// lngtool with these arguments, Launcher.exe looked for among the fixtures.
inline ToolRun RunTool(const std::vector<std::string>& args) {
  ToolRun run{0, "", ""};
  run.code = RunLngtool(args, std::string(LNGTOOL_FIXTURES) + "/", &run.out, &run.err);
  return run;
}

inline std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "lngtool_" + name;
}

}  // namespace lngtool
