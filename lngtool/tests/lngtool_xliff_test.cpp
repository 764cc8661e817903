// The XLIFF reader on its own, over both XML parsers (the native build's and
// the system's on Windows): states, approval, references and character
// references as CAT tools write them, and what it refuses. Cases from the
// fuzzers' corpus among them; the corpus itself is read in the exchange test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lngtool/exchange/xliff_file.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

std::string Document(const std::string& units, const char* version = "1.2") {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xliff version=\"") + version +
         "\"><file original=\"x\" source-language=\"en-US\"><body>\n" + units +
         "</body></file></xliff>\n";
}

std::string Unit(const std::string& inner, const std::string& attributes = "resname=\"string\"") {
  return "<trans-unit id=\"1\" " + attributes + "><source>a</source>" + inner + "</trans-unit>\n";
}

TEST(Xliff, ReaderTakesStatesAndTextsAsCatToolsMeanThem) {
  enum Outcome : uint8_t { kUntranslated, kDone, kFuzzy };
  struct Case {
    const char* what;
    std::string bytes;
    Outcome outcome;
    const char* translation;
  } cases[] = {
      {"no target", Document(Unit("")), kUntranslated, ""},
      {"a target without state", Document(Unit("<target>b</target>")), kDone, "b"},
      {"a final one", Document(Unit("<target state=\"final\">b</target>")), kDone, "b"},
      {"one to review", Document(Unit("<target state=\"needs-review-translation\">b</target>")),
       kFuzzy, "b"},
      {"one not approved",
       Document(Unit("<target>b</target>", "resname=\"string\" approved=\"no\"")), kFuzzy, "b"},
      {"an empty target said done", Document(Unit("<target state=\"translated\"></target>")), kDone,
       ""},
      {"an empty target without state", Document(Unit("<target></target>")), kUntranslated, ""},
      {"CDATA, entities and character references (corpus)",
       Document(Unit("<target state=\"final\"><![CDATA[O&K]]>&#13;&amp;&lt;&#x9;</target>"
                     "<alt-trans><source>a</source><target>Okay</target></alt-trans>")),
       kDone, "O&K\r&<\t"},
      {"carriage returns and tabs, spelt every way (corpus)",
       Document(Unit("<target>t&#9;l&#10;c&#13;d&#xD;e&#x9;f\tg</target>", "resname=\"dialog X\"")),
       kDone, "t\tl\nc\rd\re\tf\tg"},
      {"a location names the text",
       Document(Unit("<target>b</target><context-group name=\"r\" purpose=\"location\">"
                     "<context context-type=\"sourcefile\">LAUNCHDLG</context>"
                     "<context context-type=\"linenumber\">scale</context></context-group>",
                     "")),
       kDone, "b"},
  };
  for (const Case& c : cases) {
    TranslationFile file;
    ReadError error;
    ASSERT_TRUE(ReadXliff(c.bytes, &file, &error)) << c.what << ": " << error.message;
    ASSERT_EQ(file.messages.size(), 1u) << c.what;
    const TranslationMessage& m = file.messages[0];
    EXPECT_EQ(m.translated, c.outcome != kUntranslated) << c.what;
    EXPECT_EQ(m.fuzzy, c.outcome == kFuzzy) << c.what;
    EXPECT_EQ(m.translation, c.translation) << c.what;
    EXPECT_EQ(m.line, 3u) << c.what;
  }
}

TEST(Xliff, ReaderRefusesWhatItCannotReadExactly) {
  const struct {
    std::string bytes;
    uint32_t line;
    const char* says;
  } cases[] = {
      {Document(Unit(""), "2.0"), 2, "only 1.x"},
      {Document("<trans-unit id=\"1\" resname=\"string\">\n" + Unit("") + "</trans-unit>\n"), 4,
       "inside another"},
      {Document(Unit("<target>b <x id=\"1\"/></target>")), 3, "inline markup"},
      {Document(Unit("<target>b</target>", "")), 3, "without resname"},
      {Document("<trans-unit id=\"1\" resname=\"string\"><source>a</source>\n<target>b"), 4,
       "not well-formed"},
  };
  for (const auto& c : cases) {
    TranslationFile file;
    ReadError error;
    EXPECT_FALSE(ReadXliff(c.bytes, &file, &error)) << c.says;
    EXPECT_EQ(error.line, c.line) << c.says << ": " << error.message;
    EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
  }
}

// A file cut short inside an element ends in a refusal, not in a reader that
// goes on answering without moving (as the system's once did under Wine).
TEST(Xliff, ReaderRefusesAFileCutShort) {
  const std::string whole = Document(Unit("<target>b</target>"));
  const std::string cut = whole.substr(0, whole.find("</target>"));
  TranslationFile file;
  ReadError error;
  EXPECT_FALSE(ReadXliff(cut, &file, &error));
  EXPECT_NE(error.message.find("not well-formed"), std::string::npos) << error.message;
}

}  // namespace
}  // namespace lngtool
