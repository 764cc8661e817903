// The PO reader and writer on their own: what translators' tools write reads
// exactly or is refused at its line, and what lngtool writes reads back the
// same. Cases from the fuzzers' findings and corpus among them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lngtool/exchange/po_file.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

const std::string kHead =
    "msgid \"\"\nmsgstr \"Language: de\\nContent-Type: text/plain; charset=UTF-8\\n\"\n\n";

TEST(Po, ReaderTakesWhatToolsWriteAndRefusesTheRestAtItsLine) {
  struct Case {
    const char* what;
    std::string bytes;
    uint32_t errorLine;  // 0: read
    const char* says;    // the error, or the first message's translation
  } cases[] = {
      {"a byte order mark and CRLF line ends",
       "\xEF\xBB\xBFmsgid \"\"\r\nmsgstr \"\"\r\n\r\nmsgctxt \"string\"\r\nmsgid \"a\"\r\nmsgstr "
       "\"b\"\r\n",
       0, "b"},
      {"wrapped strings",
       kHead + "msgctxt \"string\"\nmsgid \"\"\n\"a\"\nmsgstr \"\"\n\"b\\n\"\n  \"c\"  \n", 0,
       "b\nc"},
      {"escapes: octal, hex, the simple ones",
       kHead + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"\\101\\x42\\t\\\\\\\"\\?\"\n", 0,
       "AB\t\\\"?"},
      {"entries without blank lines, obsolete ones and previous texts between",
       kHead + "#~ msgid \"old\"\n#| msgid \"x\"\nmsgctxt \"string\"\nmsgid \"a\"\nmsgstr "
               "\"b\"\nmsgctxt \"string\"\nmsgid \"c\"\nmsgstr \"d\"\n",
       0, "b"},
      {"a template's charset",
       "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=CHARSET\\n\"\n", 0, nullptr},
      {"a string of no keyword", kHead + "\"loose\"\n", 4, "belongs to no keyword"},
      {"an unknown keyword", kHead + "msgfoo \"a\"\n", 4, "unknown keyword \"msgfoo\""},
      {"text after the closing quote", kHead + "msgid \"a\" x\n", 4, "after the closing quote"},
      {"an octal escape beyond a byte", kHead + "msgid \"\\777\"\nmsgstr \"\"\n", 4, "backslash"},
      {"a hex escape without digits", kHead + "msgid \"\\xg\"\nmsgstr \"\"\n", 4, "backslash"},
      {"a second header", kHead + "msgid \"\"\nmsgstr \"\"\n", 5, "a second header"},
      {"a NUL byte", kHead + std::string("msgid \"a\0\"\n", 11), 4, "a NUL character"},
      {"an escape that makes no UTF-8",
       kHead + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"\\377\"\n", 6, "not UTF-8"},
  };
  for (const Case& c : cases) {
    TranslationFile file;
    ReadError error;
    const bool read = ReadPo(c.bytes, &file, &error);
    EXPECT_EQ(read, c.errorLine == 0) << c.what << ": " << error.message;
    if (!read) {
      EXPECT_EQ(error.line, c.errorLine) << c.what;
      EXPECT_NE(error.message.find(c.says), std::string::npos) << c.what << ": " << error.message;
    } else if (c.says != nullptr) {
      ASSERT_FALSE(file.messages.empty()) << c.what;
      EXPECT_EQ(file.messages[0].translation, c.says) << c.what;
    }
  }
}

TEST(Po, FlagsReferencesHeaderAndPluralsAreRead) {
  const std::string bytes =
      "msgid \"\"\nmsgstr \"\"\n\"Language: de\\n\"\n\"Last-Translator: J <j@example.org>\\n\"\n"
      "\"X-Generator: other\\n\"\n\n"
      "#: LAUNCHDLG:1 more:2\n#, fuzzy, empty-translation\nmsgctxt \"string\"\nmsgid \"a\"\n"
      "msgstr \"\"\n\n"
      "msgid \"one\"\nmsgid_plural \"many\"\nmsgstr[0] \"x\"\nmsgstr[1] \"y\"\n";
  TranslationFile file;
  ReadError error;
  ASSERT_TRUE(ReadPo(bytes, &file, &error)) << error.message;
  EXPECT_EQ(file.language, "de");
  ASSERT_EQ(file.headerFields.size(), 1u);  // lngtool writes X-Generator itself
  EXPECT_EQ(file.headerFields[0], HeaderField("Last-Translator", "J <j@example.org>"));
  ASSERT_EQ(file.messages.size(), 1u);
  EXPECT_EQ(file.messages[0].reference, "LAUNCHDLG:1");
  EXPECT_TRUE(file.messages[0].fuzzy);
  EXPECT_TRUE(file.messages[0].translated);
  EXPECT_EQ(file.messages[0].line, 11u);
  ASSERT_EQ(file.warnings.size(), 1u);
  EXPECT_EQ(file.warnings[0].rfind("15: warning: a plural entry", 0), 0u) << file.warnings[0];
}

TEST(Po, WriterLaysOutWhatTheReaderTakesBack) {
  struct Case {
    const char* what;
    TranslationMessage m;
    bool isTemplate;
    const char* writes;
  } cases[] = {
      {"a control character as octal (corpus)",
       {"1", "string", "a", "x\x01y", true},
       false,
       "msgstr \"x\\001y\"\n"},
      {"line breaks split the string",
       {"1", "string", "a", "b\nc\n", true},
       false,
       "msgstr \"\"\n\"b\\n\"\n\"c\\n\"\n"},
      {"a single trailing break stays on the line",
       {"1", "string", "a", "b\r\n", true},
       false,
       "msgstr \"b\\r\\n\"\n"},
      {"an empty translation is flagged",
       {"1", "string", "a", "", true},
       false,
       "#, empty-translation\n"},
      {"a fuzzy one keeps its previous text",
       {"1", "string", "a", "b", true, true, "old"},
       false,
       "#, fuzzy\n#| msgid \"old\"\n"},
      {"a template holds no translation",
       {"1", "string", "a", "b", true, true},
       true,
       "msgid \"a\"\nmsgstr \"\"\n"},
      {"an untranslated one", {"1", "string", "a", "b", false}, false, "msgstr \"\"\n"},
  };
  for (const Case& c : cases) {
    PoHeader header;
    header.isTemplate = c.isTemplate;
    const std::string written = WritePo(header, {c.m});
    EXPECT_NE(written.find(c.writes), std::string::npos) << c.what << ":\n" << written;
    TranslationFile file;
    ReadError error;
    ASSERT_TRUE(ReadPo(written, &file, &error)) << c.what << ": " << error.message;
    ASSERT_EQ(file.messages.size(), 1u) << c.what;
    const TranslationMessage& back = file.messages[0];
    EXPECT_EQ(back.source, c.m.source) << c.what;
    EXPECT_EQ(back.translated, c.m.translated && !c.isTemplate) << c.what;
    EXPECT_EQ(back.fuzzy, c.m.fuzzy && !c.isTemplate) << c.what;
    if (back.translated) {
      EXPECT_EQ(back.translation, c.m.translation) << c.what;
    }
  }
}

// The fuzzer's promise on its corpus: read exactly, or refused at a line; and
// what lngtool writes of it reads back the same.
TEST(Po, CorpusReadsBackFromWhatLngtoolWrites) {
  for (const char* name : {"tool.po", "launcher.pot", "control-escape-round-trip.po"}) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(std::string(LNGTOOL_CORPORA) + "/po_corpus/" + name, &bytes));
    TranslationFile file;
    ReadError error;
    if (!ReadPo(std::string(bytes.begin(), bytes.end()), &file, &error)) {
      EXPECT_NE(error.line, 0u) << name;
      continue;
    }
    TranslationFile again;
    ASSERT_TRUE(ReadPo(WritePo(PoHeader(), file.messages), &again, &error)) << name;
    ASSERT_EQ(again.messages.size(), file.messages.size()) << name;
    for (size_t i = 0; i < file.messages.size(); ++i) {
      EXPECT_EQ(again.messages[i].source, file.messages[i].source) << name;
      EXPECT_EQ(again.messages[i].translation, file.messages[i].translation) << name;
      EXPECT_EQ(again.messages[i].fuzzy, file.messages[i].fuzzy) << name;
    }
  }
}

}  // namespace
}  // namespace lngtool
