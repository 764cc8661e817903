// "lngtool export" and "import": catalogs survive the trip through PO and
// XLIFF, files of translators' tools import, malformed files are refused at
// their line with nothing written, and the checks speak of the file's lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "lngtool/exchange/catalog_import.h"
#include "lngtool/exchange/po_file.h"
#include "lngtool/exchange/xliff_file.h"
#include "lngtool/io/text_form.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

const ProgramText& TextWithRole(const std::vector<ProgramText>& texts, TextRole role,
                                const std::u16string& context = u"") {
  for (const ProgramText& t : texts) {
    if (t.role == role && (context.empty() || t.context == context)) {
      return t;
    }
  }
  ADD_FAILURE();
  return texts.front();
}

// Every escape, a backslash the loader keeps, text beyond the BMP, an empty
// value, both scale entries and the direction; one text left untranslated.
std::vector<uint8_t> TranslatedCatalog() {
  const std::vector<ProgramText> texts = LauncherTexts();
  std::u16string text = std::u16string(kMarkerLine) + u"\r\n";
  for (size_t i = 0; i + 1 < texts.size(); ++i) {
    const ProgramText& t = texts[i];
    if (i == 5) {
      continue;
    }
    std::u16string value = u"Ü\"q\\ \t\r\n \U0001F600 " + t.source;
    if (t.role == TextRole::kScale) {
      value = t.context == u"LAUNCHDLG" ? u"120*110" : u"90*100";
    } else if (t.role == TextRole::kString && t.id == 5101) {
      value = u"Partner_Setup_\u00DC.exe";  // the installer's name stays a plain file name
    } else if (i == 2) {
      value = u"";
    }
    text += EntryLine(t.key, value) + u"\r\n";
    if (i == 3) {
      text += FromUtf8(KeyText(t.key)) + u"=\"kept \\q as is\"\r\n";  // a duplicate, not used
    }
  }
  text += EntryLine(TextWithRole(texts, TextRole::kDirection).key, u"RTL") + u"\r\n";
  return Utf16File(text);
}

struct Entries {
  std::set<std::string> keys;
  std::vector<std::pair<std::string, std::u16string>> used;  // the value the launcher takes
};

Entries ReadEntries(const std::vector<uint8_t>& bytes) {
  CatalogFile file(SystemAnsi);
  EXPECT_TRUE(file.Load(bytes));
  Entries e;
  for (const BodyLine& l : file.lines) {
    const EntryShape shape = ReadEntryShape(l);
    if (shape.isEntry) {
      e.keys.insert(ToUtf8(shape.key));
    }
  }
  for (const ProgramText& t : LauncherTexts()) {
    const int64_t chosen = file.ChosenLine(FromUtf8(KeyText(t.key)));
    e.used.emplace_back(
        KeyText(t.key),
        chosen < 0 ? u"(none)" : ReadEntryShape(file.lines[static_cast<size_t>(chosen)]).intended);
  }
  return e;
}

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, &bytes));
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Messages(const std::string& po) {
  TranslationFile file;
  ReadError error;
  EXPECT_TRUE(ReadPo(po, &file, &error)) << error.line << ": " << error.message;
  std::vector<std::string> out;
  for (const TranslationMessage& m : file.messages) {
    out.push_back(m.context + "|" + m.source + "|" + (m.translated ? "=" + m.translation : "-"));
  }
  return out;
}

TEST(Exchange, CatalogSurvivesPoAndXliffAndPoSurvivesImport) {
  const std::string exe = FixturePath("Launcher.exe");
  const std::string lng = TempPath("exchange.lng");
  const std::vector<uint8_t> original = TranslatedCatalog();
  ASSERT_TRUE(WriteWholeFile(lng, original));
  const Entries before = ReadEntries(original);
  for (const char* format : {"--po", "--xliff"}) {
    const std::string exported = TempPath(std::string("exchange") + format);
    const std::string back = TempPath(std::string("back") + format + ".lng");
    const ToolRun out =
        RunTool({"export", exe, lng, format, "--language", "de", "--out", exported, "--force"});
    ASSERT_EQ(out.code, kExitFine) << out.err;
    // The duplicate line is named, not exported.
    EXPECT_NE(out.err.find("duplicate key"), std::string::npos) << out.err;
    const ToolRun in = RunTool({"import", exported, "--module", exe, "--out", back});
    EXPECT_EQ(in.code, kExitFine) << in.err;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(back, &bytes));
    const Entries after = ReadEntries(bytes);
    EXPECT_EQ(after.used, before.used) << format;
    EXPECT_EQ(after.keys, before.keys) << format;
    // PO -> import -> export gives the same messages and translations.
    if (std::string(format) == "--po") {
      const std::string again = TempPath("again.po");
      ASSERT_EQ(RunTool({"export", exe, back, "--po", "--out", again, "--force"}).code, kExitFine);
      EXPECT_EQ(Messages(ReadText(again)), Messages(ReadText(exported)));
      EXPECT_NE(ReadText(again).find("\"Language: de\\n\""), std::string::npos);
    }
  }
}

// As translation tools leave a PO: CR LF, wrapped strings, no blank line
// between entries, translator comments, previous texts, obsolete entries,
// fuzzy and untranslated messages.
const char kToolPo[] =
    "# German translation\r\n"
    "msgid \"\"\r\n"
    "msgstr \"\"\r\n"
    "\"Language: de\\n\"\r\n"
    "\"Content-Type: text/plain; charset=UTF-8\\n\"\r\n"
    "\r\n"
    "# translator's note\r\n"
    "#. String 5103\r\n"
    "msgctxt \"string\"\r\n"
    "msgid \"\"\r\n"
    "\"It may take a few minutes to finish the \"\r\n"
    "\"installation of Baidu Antivirus.\"\r\n"
    "msgstr \"\"\r\n"
    "\"Es kann einige Minuten \"\r\n"
    "\"dauern.\"\r\n"
    "#, fuzzy\r\n"
    "#| msgid \"Zentak\"\r\n"
    "msgctxt \"dialog LAUNCHDLG\"\r\n"
    "msgid \"Zentak Setup\"\r\n"
    "msgstr \"Zentak-Einrichtung\"\r\n"
    "\r\n"
    "msgctxt \"dialog INFODLG\"\r\n"
    "msgid \"OK\"\r\n"
    "msgstr \"\"\r\n"
    "\r\n"
    "msgctxt \"scale LAUNCHDLG\"\r\n"
    "msgid \"100*100\"\r\n"
    "msgstr \"120*110\"\r\n"
    "\r\n"
    "#, fuzzy\r\n"
    "#~ msgctxt \"dialog INFODLG\"\r\n"
    "#~ msgid \"Gone\"\r\n"
    "#~ msgstr \"Weg\"\r\n";

TEST(Exchange, ToolMadePoImports) {
  const std::vector<ProgramText> texts = LauncherTexts();
  ImportOptions options;
  options.fileName = "de.po";
  ImportOutcome outcome;
  ASSERT_TRUE(ImportTranslations(kToolPo, options, &texts, SystemAnsi, &outcome))
      << outcome.messages;
  EXPECT_EQ(outcome.taken, 2u);
  EXPECT_EQ(outcome.untranslated, 1u);
  EXPECT_EQ(outcome.fuzzy, 1u);
  EXPECT_FALSE(outcome.checkErrors) << outcome.messages;
  const Entries e = ReadEntries(outcome.catalog);
  const ProgramText& scale = TextWithRole(texts, TextRole::kScale, u"LAUNCHDLG");
  for (const auto& used : e.used) {
    if (used.first == "d82d648f") {
      EXPECT_EQ(used.second, u"Es kann einige Minuten dauern.");
    } else if (used.first == KeyText(scale.key)) {
      EXPECT_EQ(used.second, u"120*110");
    } else {
      EXPECT_EQ(used.second, u"(none)") << used.first;
    }
  }
  ImportOutcome fuzzy;
  options.useFuzzy = true;
  ASSERT_TRUE(ImportTranslations(kToolPo, options, &texts, SystemAnsi, &fuzzy));
  EXPECT_EQ(fuzzy.taken, 3u);
}

TEST(Exchange, ChecksSpeakOfTheFilesLines) {
  const std::vector<ProgramText> texts = LauncherTexts();
  const std::string po =
      "msgctxt \"scale INFODLG\"\nmsgid \"100*100\"\nmsgstr \"120x110\"\n\n"
      "msgctxt \"string\"\nmsgid \"BavPro_Setup_Mini_240.exe\"\nmsgstr \"x.exe\"\n";
  const std::string xliff =
      "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\"><file original=\"x\" "
      "source-language=\"en-US\"><body>\n<trans-unit id=\"a\" resname=\"scale INFODLG\">\n"
      "<source>100*100</source>\n<target>120x110</target></trans-unit>\n</body></file></xliff>\n";
  ImportOptions options;
  options.fileName = "de.po";
  ImportOutcome fromPo;
  ASSERT_TRUE(ImportTranslations(po, options, &texts, SystemAnsi, &fromPo));
  EXPECT_TRUE(fromPo.checkErrors);
  EXPECT_NE(fromPo.messages.find("de.po:3: error: the scale of INFODLG"), std::string::npos)
      << fromPo.messages;
  EXPECT_NE(fromPo.messages.find("de.po:7: warning: string 5101"), std::string::npos)
      << fromPo.messages;
  options.fileName = "de.xlf";
  ImportOutcome fromXliff;
  ASSERT_TRUE(ImportTranslations(xliff, options, &texts, SystemAnsi, &fromXliff));
  EXPECT_NE(fromXliff.messages.find("de.xlf:5: error: the scale of INFODLG"), std::string::npos)
      << fromXliff.messages;
}

// Keys come from the ANSI form in the target system's code page, and an
// 8-bit catalog that cannot hold a translation is refused, not garbled.
TEST(Exchange, KeysAndFormFollowTheCodePage) {
  const std::string po =
      "msgctxt \"string\"\nmsgid \"\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA\"\n"
      "msgstr \"\xD0\x9F\"\n";
  const std::string in = TempPath("cyrillic.po");
  const std::string out = TempPath("cyrillic.lng");
  ASSERT_TRUE(WriteWholeFile(in, std::vector<uint8_t>(po.begin(), po.end())));
  ASSERT_EQ(RunTool({"import", in, "--codepage", "1251", "--ansi", "--out", out}).code, kExitFine);
  const std::string key =
      RunTool({"key", "s", "\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA", "--codepage", "1251"}).out;
  EXPECT_NE(key, RunTool({"key", "s", "\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA"}).out);
  EXPECT_NE(ReadText(out).find(key.substr(0, 8) + "=\"\xCF\""), std::string::npos);
  std::remove(out.c_str());
  const ToolRun lossy = RunTool({"import", in, "--ansi", "--out", out});
  EXPECT_EQ(lossy.code, kExitFailure);
  EXPECT_NE(lossy.err.find("no form in code page 1252"), std::string::npos) << lossy.err;
  std::vector<uint8_t> none;
  EXPECT_FALSE(ReadWholeFile(out, &none));
}

// A reference comes back from XLIFF as it went, however its colons fall.
TEST(Exchange, XliffKeepsEveryReference) {
  for (const char* reference :
       {"LAUNCHDLG:5101", ":INFODLG", "LAUNCHDLG:", ":", "a:b:c", "::5", "STRINGTABLE"}) {
    TranslationMessage m;
    m.id = "0";
    m.context = "string";
    m.source = "a";
    m.reference = reference;
    TranslationFile file;
    ReadError error;
    ASSERT_TRUE(ReadXliff(WriteXliff({"t", "de"}, {m}), &file, &error)) << error.message;
    ASSERT_EQ(file.messages.size(), 1u);
    EXPECT_EQ(file.messages[0].reference, reference);
  }
}

TEST(Exchange, MalformedFilesAreRefusedAtTheirLine) {
  const std::string head = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
  const std::string unit = "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\"><file><body>\n";
  struct Case {
    std::string content;
    uint32_t line;
    const char* says;
  } cases[] = {
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"open", 6, "no closing quote"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"\\q\"\n", 6, "backslash"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"\xC3\x28\"\n", 6, "not UTF-8"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"\\303\"\n", 6, "not UTF-8"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"x\\0y\"\n", 6, "U+0000"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"x\\fy\"\n", 6, "U+000C"},
      {head + "msgctxt \"string\"\nmsgstr \"a\"\n", 5, "out of place"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\n#~ msgstr \"b\"\n", 6, "obsolete (#~) in some"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\n", 6, "before its msgstr"},
      {head + "msgctxt \"page 1\"\nmsgid \"a\"\nmsgstr \"b\"\n", 6, "names no kind"},
      {head + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"b\"\n\nmsgctxt \"string\"\nmsgid \"a\"\n"
              "msgstr \"c\"\n",
       10, "same key"},
      {"msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n", 2, "msgconv"},
      {unit + "<trans-unit id=\"1\" resname=\"string\"><source>a</source>\n<target>b", 4,
       "not well-formed"},
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE x [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;\">]>\n"
       "<xliff version=\"1.2\">&b;</xliff>\n",
       2, "document type declaration"},
      {unit + "<trans-unit id=\"1\" resname=\"string\"><source>a</source>\n"
              "<target>b <g id=\"1\">c</g></target></trans-unit></body></file></xliff>\n",
       4, "inline markup"},
      {unit + "<trans-unit id=\"1\"><source>a</source></trans-unit></body></file></xliff>\n", 3,
       "without resname"},
      {"<?xml version=\"1.0\"?>\n<html/>\n", 2, "not an XLIFF file"},
  };
  const std::vector<ProgramText> texts = LauncherTexts();
  for (const Case& c : cases) {
    ImportOptions options;
    options.fileName = "f";
    ImportOutcome outcome;
    EXPECT_FALSE(ImportTranslations(c.content, options, &texts, SystemAnsi, &outcome)) << c.says;
    EXPECT_TRUE(outcome.catalog.empty());
    const std::string at = "f:" + std::to_string(c.line) + ": error: ";
    EXPECT_NE(outcome.messages.find(at), std::string::npos) << c.says << "\n" << outcome.messages;
    EXPECT_NE(outcome.messages.find(c.says), std::string::npos) << outcome.messages;
  }
  // Through the command: a failure, and nothing written.
  const std::string in = TempPath("bad.po");
  const std::string out = TempPath("bad.lng");
  std::remove(out.c_str());
  const std::string& bad = cases[0].content;
  ASSERT_TRUE(WriteWholeFile(in, std::vector<uint8_t>(bad.begin(), bad.end())));
  const ToolRun run = RunTool({"import", in, "--out", out});
  EXPECT_EQ(run.code, kExitFailure);
  std::vector<uint8_t> none;
  EXPECT_FALSE(ReadWholeFile(out, &none));
}

// The exchange fuzzers' promise on their corpora: each file is read exactly,
// or refused at a line; and what lngtool writes of it reads back the same.
TEST(Exchange, CorporaReadBackFromWhatLngtoolWrites) {
  using Reader = bool (*)(const std::string&, TranslationFile*, ReadError*);
  using Writer = std::string (*)(const std::vector<TranslationMessage>&);
  const Writer po = [](const std::vector<TranslationMessage>& m) { return WritePo({}, m); };
  const Writer xliff = [](const std::vector<TranslationMessage>& m) {
    return WriteXliff({"x", "de"}, m);
  };
  const struct {
    const char* file;
    Reader read;
    Writer write;
  } cases[] = {
      {"po_corpus/tool.po", ReadPo, po},
      {"po_corpus/launcher.pot", ReadPo, po},
      {"po_corpus/control-escape-round-trip.po", ReadPo, po},
      {"xliff_corpus/launcher.xlf", ReadXliff, xliff},
      {"xliff_corpus/po2xliff.xlf", ReadXliff, xliff},
      {"xliff_corpus/reference-without-name.xlf", ReadXliff, xliff},
      {"xliff_corpus/references.xlf", ReadXliff, xliff},
      {"xliff_corpus/units.xlf", ReadXliff, xliff},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(std::string(LNGTOOL_CORPORA) + "/" + c.file, &bytes)) << c.file;
    TranslationFile file;
    ReadError error;
    if (!c.read(std::string(bytes.begin(), bytes.end()), &file, &error)) {
      EXPECT_NE(error.line, 0u) << c.file;
      continue;
    }
    TranslationFile again;
    ASSERT_TRUE(c.read(c.write(file.messages), &again, &error)) << c.file << error.message;
    ASSERT_EQ(again.messages.size(), file.messages.size()) << c.file;
    for (size_t i = 0; i < file.messages.size(); ++i) {
      EXPECT_EQ(again.messages[i].context, file.messages[i].context) << c.file;
      EXPECT_EQ(again.messages[i].source, file.messages[i].source) << c.file;
      EXPECT_EQ(again.messages[i].translation, file.messages[i].translation) << c.file;
      EXPECT_EQ(again.messages[i].fuzzy, file.messages[i].fuzzy) << c.file;
    }
  }
}

}  // namespace
}  // namespace lngtool
