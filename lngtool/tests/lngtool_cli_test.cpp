// What lngtool promises on its command line: exit codes that tell the truth,
// no file ever lost or half written, untranslated texts never shown as done,
// and the manners of gettext's tools. Each case stages its fault.
#include <dirent.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "base/system_calls.h"
#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/io/text_form.h"
#include "lngtool/io/write_calls.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::string Written(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TempPath(name);
  EXPECT_TRUE(WriteWholeFile(path, bytes));
  return path;
}

std::vector<uint8_t> Contents(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, &bytes)) << path;
  return bytes;
}

// The template with one text translated into German, so that it holds a
// letter beyond ASCII.
std::u16string GermanCatalog() {
  std::u16string text = TemplateCatalog();
  const std::u16string ok = u"ad441f3e=\"OK\"";
  text.replace(text.find(ok), ok.size(), u"ad441f3e=\"Schließen\"");
  return text;
}

std::vector<uint8_t> Utf16BigEndian(const std::u16string& text) {
  std::vector<uint8_t> bytes = {0xFE, 0xFF};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c >> 8));
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
  }
  return bytes;
}

const char kTranslatedPo[] =
    "msgid \"\"\nmsgstr \"Language: de\\nLast-Translator: Jana <j@example.org>\\n"
    "Plural-Forms: nplurals=2; plural=(n != 1);\\n\"\n\n"
    "msgctxt \"dialog INFODLG\"\nmsgid \"OK\"\nmsgstr \"Gut\"\n";

TEST(Cli, ExitCodesTellTheTruth) {
  const std::string exe = FixturePath("Launcher.exe");
  const std::string german = Written("de.lng", Utf16File(GermanCatalog()));
  const std::string utf8 = Written("utf8.lng", Bytes(ToUtf8(GermanCatalog())));
  const std::string bom = Written("bom.lng", Bytes("\xEF\xBB\xBF" + ToUtf8(GermanCatalog())));
  const std::string bigEndian = Written("be.lng", Utf16BigEndian(GermanCatalog()));
  const std::string empty = Written("empty.po", Bytes("msgid \"\"\nmsgstr \"Language: de\\n\"\n"
                                                      "\nmsgid \"OK\"\nmsgstr \"\"\n"));
  const std::string broken = Written(
      "broken.po", Bytes("msgctxt \"scale INFODLG\"\nmsgid \"100*100\"\nmsgstr \"gross\"\n"));
  const std::string nul = Written("nul.lng", Bytes(std::string("***messages***\r\n\0x", 18)));
  std::u16string control = GermanCatalog();
  control.replace(control.find(u"Schließen"), 9, u"Schlie\u0001en");
  const std::string withControl = Written("control.lng", Utf16File(control));
  const std::string nowhere = TempPath("nowhere.lng");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string says;
  } cases[] = {
      {{"check", german, "--module", TempPath("nope.exe")},
       kExitFailure,
       "cannot read " + TempPath("nope.exe") + ": " + SystemErrorText(fileapi::kErrorFileNotFound)},
      {{"check", german, "--module", german}, kExitFailure, "is not a module with resources"},
      {{"template", TempPath("nope.exe")}, kExitFailure, "cannot read"},
      {{"check", german}, kExitFine, ""},
      {{"check", utf8}, kExitFindings, "looks like UTF-8"},
      {{"check", bom}, kExitFindings, "lngtool convert " + bom + " --out " + bom},
      {{"check", bigEndian}, kExitFindings, "UTF-16 big-endian"},
      {{"merge", utf8}, kExitFailure, "convert it first: lngtool convert"},
      {{"merge", bigEndian}, kExitFailure, "convert it first"},
      {{"merge", utf8, "--codepage", "65001"}, kExitFine, "translations kept"},
      {{"import", empty, "--out", nowhere},
       kExitFailure,
       "nothing written: it holds no translation"},
      {{"import", broken, "--out", nowhere},
       kExitFindings,
       "nothing written: the catalog would have 1 error (give --force"},
      {{"check", german, "--fit"}, kExitFailure, "the option --fit is not one of check's\n"},
      {{"check"}, kExitFailure, "lngtool check: missing FILE...\nTry 'lngtool check --help'.\n"},
      {{"key", "s", "a", "b", "c"}, kExitFailure, "one argument too many: c"},
      {{"export", exe, "--po", "--xliff"}, kExitFailure, "give one of --po, --pot and --xliff"},
      {{"export", exe, withControl, "--po"},
       kExitFailure,
       ": the translation of the entry ad441f3e holds the character U+0001"},
      {{"check", german, "--codepage"}, kExitFailure, "--codepage needs a value (N)"},
      {{"convert", german}, kExitFailure, "--out FILE is needed"},
      {{"convert", nul, "--out", nowhere}, kExitFailure, "holds a NUL byte"},
      {{"frobnicate"}, kExitFailure, "unknown command frobnicate\nTry 'lngtool --help'."},
      {{"key", "$", "OK", "INFODLG"}, kExitFine, "are KIND, CONTEXT and TEXT in this order?"},
      {{"export", exe, "--pot", "--language", "zh_CN"}, kExitFine, ""},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.code, c.code) << c.args[0] << " " << c.args.back() << "\n" << run.err;
    EXPECT_NE((run.err + run.out).find(c.says), std::string::npos) << run.err << run.out;
  }
  std::vector<uint8_t> none;
  EXPECT_FALSE(ReadWholeFile(nowhere, &none));
  // Told to, the import writes a catalog with errors, and still says so.
  EXPECT_EQ(RunTool({"import", broken, "--force", "--out", nowhere}).code, kExitFindings);
  EXPECT_TRUE(ReadWholeFile(nowhere, &none));
  std::remove(nowhere.c_str());
}

#ifndef _WIN32
// Standard output is a file like any other: a full one fails the command.
TEST(Cli, StandardOutputThatCannotBeWrittenFails) {
  const std::string command = std::string(LNGTOOL_BINARY) + " template " +
                              FixturePath("Launcher.exe") + " > /dev/full 2> " +
                              TempPath("full.err");
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitFailure);
  const std::vector<uint8_t> said = Contents(TempPath("full.err"));
  EXPECT_NE(std::string(said.begin(), said.end()).find("cannot write standard output: "),
            std::string::npos);
}
#endif

TEST(Cli, HelpAndVersionAsGettextsTools) {
  EXPECT_EQ(RunTool({"--version"}).out.rfind("lngtool (Zentak install launcher) ", 0), 0u);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"help", "import"}, std::vector<std::string>{"import", "--help"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.code, kExitFine);
    EXPECT_EQ(run.out.rfind("usage: lngtool import FILE.po|FILE.xlf...\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("  --use-fuzzy "), std::string::npos);
    EXPECT_EQ(run.out.find("--keep-identical"), std::string::npos);  // export's, not import's
  }
  const ToolRun all = RunTool({"--help"});
  for (const char* command : {"template", "check", "key", "merge", "convert", "preview", "export",
                              "import", "pseudo", "layout"}) {
    EXPECT_NE(all.out.find(std::string("  ") + command + " "), std::string::npos) << command;
  }
}

TEST(Cli, OutputNeverReplacesAnInputOrAFileUnasked) {
  const std::string exe = FixturePath("Launcher.exe");
  const std::vector<uint8_t> catalog = Utf16File(GermanCatalog());
  const std::string de = Written("keep.lng", catalog);
  const std::string po = Written("keep.po", Bytes(kTranslatedPo));
  const struct {
    std::vector<std::string> args;
    std::string says;
  } refused[] = {
      {{"export", exe, de, "--po", "--out", de}, "names the input"},
      {{"export", exe, de, "--po", "--out", de, "--force"}, "names the input"},
      {{"import", po, "--out", po}, "names the input"},
      {{"template", "--out", de}, "exists; nothing written (give --force"},
      {{"pseudo", "--out", de}, "exists"},
      {{"export", exe, "--pot", "--out", de}, "exists"},
  };
  for (const auto& c : refused) {
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.code, kExitFailure) << c.args[0];
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(Contents(de), catalog) << c.args[0];
    EXPECT_EQ(Contents(po), Bytes(kTranslatedPo));
  }
  // merge and convert may replace their input, safely.
  EXPECT_EQ(RunTool({"merge", de, "--out", de}).code, kExitFine);
  EXPECT_EQ(RunTool({"check", de}).code, kExitFine);
  EXPECT_EQ(RunTool({"template", "--out", de, "--force"}).code, kExitFine);
  EXPECT_EQ(Contents(de), Bytes(RunTool({"template"}).out));
}

// A directory's names that begin with prefix.
size_t NamesBeginning(const std::string& dir, const std::string& prefix) {
  size_t n = 0;
  DIR* d = opendir(dir.c_str());
  for (dirent* e = d != nullptr ? readdir(d) : nullptr; e != nullptr; e = readdir(d)) {
    n += std::string(e->d_name).rfind(prefix, 0) == 0 ? 1 : 0;
  }
  if (d != nullptr) closedir(d);
  return n;
}

// A disk that takes 4 KB, then is full.
WriteCalls real = Writes;
uint32_t room = 0;
bool FillingWrite(PlatformHandle h, const void* bytes, uint32_t count, uint32_t* done) {
  *done = 0;
  if (room == 0) {
    return false;
  }
  const uint32_t put = count < room ? count : room;
  room -= put;
  return real.writeFile(h, bytes, put, done);
}

TEST(Cli, FullDiskLeavesTheOldFileWhole) {
  const std::vector<uint8_t> catalog = Utf16File(GermanCatalog());
  const std::string de = Written("disk.lng", catalog);
  const struct {
    const char* fails;
    void (*stage)();
  } faults[] = {
      {"writeFile", [] { Writes.writeFile = FillingWrite; }},
      {"flushFileBuffers", [] { Writes.flushFileBuffers = [](PlatformHandle) { return false; }; }},
      {"moveFileReplace",
       [] { Writes.moveFileReplace = [](const char16_t*, const char16_t*) { return false; }; }},
  };
  for (const auto& f : faults) {
    SystemCallsOverride restore;
    WriteCallsOverride restoreWrites;
    room = 4096;
    f.stage();
    Sys.getLastError = [] { return fileapi::kErrorDiskFull; };
    const ToolRun run = RunTool({"merge", de, "--out", de});
    EXPECT_EQ(run.code, kExitFailure) << f.fails;
    EXPECT_NE(run.err.find("cannot write " + de + ": " + SystemErrorText(fileapi::kErrorDiskFull)),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("translations kept"), std::string::npos) << run.err;
    EXPECT_EQ(Contents(de), catalog) << f.fails;
    EXPECT_EQ(NamesBeginning(::testing::TempDir(), "lngtool_disk.lng.~"), 0u) << f.fails;
  }
}

TEST(Cli, ConvertReadsEveryFormAndWritesTheLaunchers) {
  const std::u16string text = GermanCatalog();
  const std::string out = TempPath("converted.lng");
  const struct {
    const char* form;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"UTF-8", Bytes(ToUtf8(text))},      {"UTF-8", Bytes("\xEF\xBB\xBF" + ToUtf8(text))},
      {"UTF-16 BE", Utf16BigEndian(text)}, {"UTF-16 LE", Utf16File(text)},
      {"the code page", AnsiFile(text)},
  };
  for (const auto& c : cases) {
    const std::string in = Written("convert-in.lng", c.bytes);
    const ToolRun run = RunTool({"convert", in, "--out", out});
    EXPECT_EQ(run.code, kExitFine) << c.form << run.err;
    EXPECT_NE(run.err.find(std::string("read as ") + c.form), std::string::npos) << run.err;
    EXPECT_EQ(Contents(out), Utf16File(text)) << c.form;
    EXPECT_EQ(RunTool({"convert", in, "--out", in, "--ansi"}).code, kExitFine);
    EXPECT_EQ(Contents(in), AnsiFile(text)) << c.form;
  }
  // A character the code page lacks: refused, nothing written.
  std::u16string chinese = text;
  chinese.replace(chinese.find(u"Schließen"), 9, u"关闭");
  const std::string in = Written("convert-zh.lng", Utf16File(chinese));
  EXPECT_EQ(RunTool({"convert", in, "--out", in, "--ansi"}).code, kExitFailure);
  EXPECT_EQ(Contents(in), Utf16File(chinese));
}

TEST(Cli, UntranslatedStaysUntranslated) {
  const std::string exe = FixturePath("Launcher.exe");
  const std::string fresh = Written("fresh.lng", Utf16File(TemplateCatalog()));
  const ToolRun po = RunTool({"export", exe, fresh, "--po"});
  ASSERT_EQ(po.code, kExitFine) << po.err;
  EXPECT_EQ(po.out.find("msgstr \"OK\""), std::string::npos);
  EXPECT_NE(po.out.find("msgid \"100*100\"\nmsgstr \"\"\n"), std::string::npos);
  EXPECT_NE(RunTool({"export", exe, fresh, "--po", "--keep-identical"}).out.find("msgstr \"OK\""),
            std::string::npos);
  const ToolRun xliff = RunTool({"export", exe, fresh, "--xliff"});
  EXPECT_EQ(xliff.out.find("<target"), std::string::npos);
  const ToolRun listed = RunTool({"check", fresh, "--untranslated", "--statistics"});
  EXPECT_EQ(listed.code, kExitFine);
  EXPECT_NE(listed.out.find(": untranslated: ad441f3e dialog INFODLG \"OK\""), std::string::npos)
      << listed.out;
  EXPECT_NE(listed.err.find("0 translated messages, 21 untranslated messages.\n"),
            std::string::npos)
      << listed.err;
  const std::string german = Written("stats.lng", Utf16File(GermanCatalog()));
  EXPECT_NE(RunTool({"check", german, "--statistics"})
                .err.find("1 translated message, 20 untranslated messages."),
            std::string::npos);
}

TEST(Cli, MergeOffersSimilarTranslationsAsFuzzy) {
  const struct {
    std::u16string a, b;
    bool similar;
  } pairs[] = {
      {u"Install on my computer", u"Install on this computer", true},
      {u"OK", u"OKAY", false},
      {u"Close", u"Close", true},
      {u"Cancel", u"Install", false},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(Similarity(p.a, p.b) >= kFuzzyThreshold, p.similar) << ToUtf8(p.b);
  }
  // The program's string d82d648f was once worded a little otherwise.
  std::u16string text = GermanCatalog();
  const std::u16string now = u"It may take a few minutes";
  const std::u16string entry = u"d82d648f=\"";
  text.replace(text.find(now), now.size(), u"It may take some minutes");
  text.replace(text.find(entry), entry.size(), u"0badc0de=\"Es dauert ");
  const std::string old = Written("fuzzy.lng", Utf16File(text));
  const ToolRun merged = RunTool({"merge", old, "--out", old});
  ASSERT_EQ(merged.code, kExitFine) << merged.err;
  EXPECT_NE(merged.err.find("(1 with a fuzzy suggestion), 0 obsolete"), std::string::npos)
      << merged.err;
  const ToolRun po = RunTool({"export", FixturePath("Launcher.exe"), old, "--po"});
  EXPECT_NE(po.out.find("#, fuzzy\n#| msgid \"It may take some minutes"), std::string::npos)
      << po.out;
  EXPECT_NE(po.out.find("msgstr \"Es dauert It may take a few"), std::string::npos);
  const ToolRun xliff = RunTool({"export", FixturePath("Launcher.exe"), old, "--xliff"});
  EXPECT_NE(xliff.out.find("<target state=\"needs-review-translation\">Es dauert"),
            std::string::npos);
  // Merged again, the suggestion waits on; checked, the catalog is clean.
  EXPECT_NE(RunTool({"merge", old}).err.find("0 with a fuzzy suggestion), 0 obsolete"),
            std::string::npos);
  EXPECT_NE(RunTool({"merge", old}).out.find(std::string("#\0,\0 \0f\0u\0z\0z\0y\0", 16)),
            std::string::npos);
  EXPECT_EQ(RunTool({"check", old}).code, kExitFine);
}

TEST(Cli, ImportKeepsThePoHeaderAndFindsKeysInReferences) {
  const std::string exe = FixturePath("Launcher.exe");
  // As xliff2po writes it: no context, the key as the reference.
  const std::string po =
      Written("header.po", Bytes(std::string(kTranslatedPo) +
                                 "\n#: be06f7dd\nmsgid \"100*100\"\nmsgstr \"120*100\"\n"
                                 "\n#: 2bfcfcd7\nmsgctxt \"2bfcfcd7\"\nmsgid \"100*100\"\nmsgstr "
                                 "\"110*100\"\n"));
  const std::string lng = TempPath("header.lng");
  const ToolRun in = RunTool({"import", po, "--module", exe, "--out", lng});
  ASSERT_EQ(in.code, kExitFine) << in.err;
  EXPECT_NE(in.err.find("3 translations written to"), std::string::npos) << in.err;
  const ToolRun out = RunTool({"export", exe, lng, "--po"});
  EXPECT_NE(out.out.find("\"Last-Translator: Jana <j@example.org>\\n\""), std::string::npos)
      << out.out;
  EXPECT_NE(out.out.find("\"Plural-Forms: nplurals=2; plural=(n != 1);\\n\""), std::string::npos);
  EXPECT_NE(RunTool({"export", exe, lng, "--xliff", "--language", "pt_BR"})
                .out.find("target-language=\"pt-BR\""),
            std::string::npos);
}

// Several files in one call: each is written (or not) on its own, each
// message names its file, and the exit status is the worst of them.
TEST(Cli, ImportTakesSeveralFiles) {
  const std::string dir = TempPath("set");
  ASSERT_TRUE(MakeDirectory(dir) || PathTaken(dir));
  const std::string de = Written("de.po", Bytes(kTranslatedPo));
  const std::string fr =
      Written("fr.po", Bytes("msgctxt \"scale INFODLG\"\nmsgid \"100*100\"\nmsgstr \"grand\"\n"));
  const std::string deOut = dir + "/lngtool_de.lng";
  const std::string frOut = dir + "/lngtool_fr.lng";
  std::remove(deOut.c_str());
  std::remove(frOut.c_str());
  const ToolRun both = RunTool({"import", de, fr, "--out-dir", dir});
  EXPECT_EQ(both.code, kExitFindings) << both.err;
  EXPECT_NE(both.err.find(de + ": 1 translation written to " + deOut + " ("), std::string::npos)
      << both.err;
  EXPECT_NE(both.err.find(fr + ":3: error: "), std::string::npos) << both.err;
  EXPECT_NE(both.err.find(fr + ": nothing written: the catalog would have 1 error"),
            std::string::npos)
      << both.err;
  EXPECT_FALSE(Contents(deOut).empty());
  EXPECT_FALSE(PathTaken(frOut));
  EXPECT_EQ(RunTool({"import", de, TempPath("absent.po"), "--out-dir", dir}).code, kExitFailure);
  EXPECT_EQ(RunTool({"import", de, fr}).code, kExitFailure);  // where would they go?
  const ToolRun twice = RunTool({"import", de, de, "--out-dir", dir});
  EXPECT_EQ(twice.code, kExitFailure);
  EXPECT_NE(twice.err.find("would both be written as"), std::string::npos) << twice.err;
}

}  // namespace
}  // namespace lngtool
