// The PO reader and writer on their own: what translators' tools write reads
// exactly or is refused at its line, and what lngtool writes reads back the
// same. Cases from the fuzzers' findings among them; their corpora are read
// in the exchange test.
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
       kHead + "msgctxt \"string\"\nmsgid \"a\"\nmsgstr \"b\"\n#~ msgid \"old\"\n#~ msgstr "
               "\"n\"\n#| msgid \"x\"\nmsgctxt \"string\"\nmsgid \"c\"\nmsgstr \"d\"\n",
       0, "b"},
      {"an obsolete message without msgstr, as msgfmt refuses it",
       kHead + "#~ msgid \"old\"\nmsgctxt \"string\"\nmsgid \"a\"\nmsgstr \"b\"\n", 5,
       "out of place"},
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
    const char* translation;
    bool translated, fuzzy, isTemplate;
    const char* writes;
  } cases[] = {
      {"a control character as octal (corpus)", "x\x01y", true, false, false,
       "msgstr \"x\\001y\"\n"},
      {"line breaks split the string", "b\nc\n", true, false, false,
       "msgstr \"\"\n\"b\\n\"\n\"c\\n\"\n"},
      {"a single trailing break stays on the line", "b\r\n", true, false, false,
       "msgstr \"b\\r\\n\"\n"},
      {"an empty translation is flagged", "", true, false, false, "#, empty-translation\n"},
      {"a fuzzy one keeps its previous text", "b", true, true, false,
       "#, fuzzy\n#| msgid \"old\"\n"},
      {"a template holds no translation", "b", true, true, true, "msgid \"a\"\nmsgstr \"\"\n"},
      {"an untranslated one", "b", false, false, false, "msgstr \"\"\n"},
  };
  for (const Case& c : cases) {
    TranslationMessage m;
    m.context = "string";
    m.source = "a";
    m.translation = c.translation;
    m.translated = c.translated;
    m.fuzzy = c.fuzzy;
    m.previous = "old";
    PoHeader header;
    header.isTemplate = c.isTemplate;
    const std::string written = WritePo(header, {m});
    EXPECT_NE(written.find(c.writes), std::string::npos) << c.what << ":\n" << written;
    TranslationFile file;
    ReadError error;
    ASSERT_TRUE(ReadPo(written, &file, &error)) << c.what << ": " << error.message;
    ASSERT_EQ(file.messages.size(), 1u) << c.what;
    const TranslationMessage& back = file.messages[0];
    EXPECT_EQ(back.translated, c.translated && !c.isTemplate) << c.what;
    EXPECT_EQ(back.fuzzy, c.fuzzy && !c.isTemplate) << c.what;
    EXPECT_EQ(back.translation, back.translated ? m.translation : "") << c.what;
  }
}

}  // namespace
}  // namespace lngtool
