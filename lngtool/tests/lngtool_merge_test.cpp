// "lngtool merge": translations whose keys remain are kept, the rest listed
// as obsolete, new texts added in English; the result checks clean.
#include <gtest/gtest.h>

#include "lngtool/catalog/catalog_merge.h"
#include "lngtool/catalog/translation_state.h"
#include "lngtool/io/text_form.h"
#include "lngtool_test_support.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace lngtool {
namespace {

using Text = std::u16string;

Text Translate(const std::vector<uint8_t>& file, const ProgramText& t) {
  MessageCatalog catalog;
  catalog.LoadFromBytes(file.data(), file.size());
  std::vector<char16_t> buffer(t.Capacity(), 0);
  catalog.Translate(t.source.c_str(), buffer.data(), buffer.size(), t.kind,
                    t.hasContext ? t.context.c_str() : nullptr);
  return buffer.data();
}

const ProgramText& TextOf(const std::vector<ProgramText>& texts, const std::string& key) {
  for (const ProgramText& t : texts) {
    if (KeyText(t.key) == key) {
      return t;
    }
  }
  ADD_FAILURE() << key;
  return texts.front();
}

// Every text but the installer's file name, which must stay a plain name.
bool TranslatedHere(const ProgramText& t) {
  return t.Translatable() && !(t.role == TextRole::kString && t.id == 5101);
}

// A translated catalog: every text of the template "DE:"-prefixed, plus
// three entries the program has no use for.
Text OldCatalog() {
  std::vector<CatalogEntry> entries = FreshEntries(LauncherTexts());
  for (CatalogEntry& e : entries) {
    if (TranslatedHere(e.text)) {
      e.value = u"DE: " + e.value + u" \"x\"";
    }
  }
  return ComposeCatalog({u"; Deutsch", u"; Translator: A. N. Other"}, entries,
                        {u"# $ LAUNCHDLG \"Gone\" (control 7, STATIC)", u"0badc0de=\"Weg\"",
                         u"AD441F3E=\"Gross\"", u"ad441f3e=\"Doppelt\""});
}

TEST(Merge, KeepsTranslationsListsTheObsolete) {
  const std::vector<ProgramText> texts = LauncherTexts();
  CatalogFile old(SystemAnsi);
  ASSERT_TRUE(old.Load(Utf16File(OldCatalog())));
  const MergeResult merged = MergeCatalog(old, texts, TemplateHeader("x"));
  EXPECT_EQ(merged.kept, texts.size());
  EXPECT_EQ(merged.added, 0u);
  ASSERT_EQ(merged.obsolete.size(), 3u);
  // In file order: the INFODLG "OK" line that the launcher's search does not
  // pick (it meets the later duplicate first), the gone text, the upper-case key.
  EXPECT_EQ(merged.obsolete[0].key, u"ad441f3e");
  EXPECT_EQ(merged.obsolete[0].value, u"DE: OK \"x\"");
  EXPECT_NE(merged.obsolete[0].reason.find("duplicate"), std::string::npos);
  EXPECT_EQ(merged.obsolete[1].key, u"0badc0de");
  EXPECT_EQ(merged.obsolete[1].comment, u"# $ LAUNCHDLG \"Gone\" (control 7, STATIC)");
  EXPECT_NE(merged.obsolete[2].reason.find("upper-case"), std::string::npos);
  EXPECT_EQ(merged.header[1], u"; Translator: A. N. Other");

  const Text text = ComposeCatalog(merged.header, merged.entries, ObsoleteLines(merged.obsolete));
  const std::vector<uint8_t> file = Utf16File(text);
  for (const ProgramText& t : texts) {
    Text expected = TranslatedHere(t) ? u"DE: " + DefaultValue(t) + u" \"x\"" : DefaultValue(t);
    if (KeyText(t.key) == "ad441f3e") {
      expected = u"Doppelt";  // what the launcher showed
    }
    EXPECT_EQ(Translate(file, t), expected) << ToUtf8(t.source);
  }
  EXPECT_NE(text.find(u"#~ 0badc0de=\"Weg\""), Text::npos);
  const CheckReport report = CheckBytes(file);
  EXPECT_FALSE(report.HasErrors()) << report.Format("merged");
  EXPECT_EQ(report.Count(Finding::kUnknownKey), 0u);
  EXPECT_EQ(report.translated, 15u);  // all but the installer's file name
  EXPECT_EQ(report.Count(Finding::kDuplicateKey), 0u);
}

// A catalog made for other dialog texts (the German language module's):
// their keys are gone from the program, shared texts stay translated.
TEST(Merge, ChangedSourcesBecomeNewTexts) {
  const std::string old = TempPath("old_de.lng");
  ASSERT_EQ(RunTool({"template", FixturePath("ztklng_de.dll"), "--out", old, "--force"}).code, 0);
  const ToolRun run = RunTool({"merge", old});
  ASSERT_EQ(run.code, 0) << run.err;
  // Kept: 6 strings, LOGO, OK and scale of both dialogs, LOGOSMALL, the
  // direction; the two titles and six texts of LAUNCHDLG are new.
  EXPECT_NE(run.err.find("13 translations kept, 8 new texts"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("8 obsolete entries"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(": obsolete: 4fbde498=\"Zentak Einrichtung\""), std::string::npos)
      << run.err;
  const std::vector<uint8_t> merged(run.out.begin(), run.out.end());
  const std::vector<ProgramText> texts = LauncherTexts();
  EXPECT_EQ(Translate(merged, TextOf(texts, "b18af6e2")), u"Zentak Setup");
  EXPECT_EQ(merged[0], 0xFF);  // the old file's form: UTF-16 with its mark
}

TEST(Merge, FormAndObsoleteOptions) {
  const std::string old = TempPath("old_ansi.lng");
  ASSERT_TRUE(WriteWholeFile(old, AnsiFile(OldCatalog())));
  const ToolRun ansi = RunTool({"merge", old});
  ASSERT_EQ(ansi.code, 0) << ansi.err;
  EXPECT_EQ(ansi.out.rfind("; Deutsch\r\n", 0), 0u);
  EXPECT_NE(ansi.out.find("#~ 0badc0de=\"Weg\""), std::string::npos);
  const ToolRun dropped = RunTool({"merge", old, "--no-obsolete", "--utf16"});
  EXPECT_EQ(dropped.out.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(dropped.out.find(std::string("#\0~\0", 4)), std::string::npos);
  const std::string out = TempPath("merged.lng");
  ASSERT_EQ(RunTool({"merge", old, FixturePath("Launcher.exe"), "--out", out}).code, 0);
  EXPECT_EQ(RunTool({"check", out}).code, 0);
  EXPECT_EQ(RunTool({"merge", old, "--ansi", "--utf16"}).code, kExitFailure);

  const std::string empty = TempPath("nothing.lng");
  ASSERT_TRUE(WriteWholeFile(empty, {'h', 'i'}));
  const ToolRun none = RunTool({"merge", empty});
  EXPECT_EQ(none.code, 0);
  EXPECT_NE(none.err.find("0 translations kept, 21 new texts"), std::string::npos) << none.err;
}

std::u16string DecodeUtf16(const std::string& bytes) {
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return text;
}

// An older program's string 5106, translated with every escape: its previous
// text, its suggestion and an obsolete entry with escapes come through any
// number of merges byte for byte, and the obsolete one exports as "#~".
TEST(Merge, EscapesAndObsoleteEntriesSurviveEveryMerge) {
  std::vector<ProgramText> older = LauncherTexts();
  ProgramText& closing = older[5];
  ASSERT_EQ(closing.id, 5106u);
  closing.source = u"\r\n\r\nYou may close this window now.";
  closing.key = CatalogKeyCrc(SystemAnsi, closing.kind, nullptr, closing.source.c_str());
  std::vector<CatalogEntry> entries = FreshEntries(older);
  entries[5].value = u"\r\n\r\nVous pouvez \"fermer\"\t\\ maintenant.";
  ProgramText gone = older[6];
  gone.source = u"Gone \"quoted\"\r\n\\";
  gone.key = CatalogKeyCrc(SystemAnsi, gone.kind, gone.context.c_str(), gone.source.c_str());
  entries.push_back({gone, u"Parti \"cit\u00e9\"\r\n\\"});
  const std::string path = TempPath("escapes.lng");
  ASSERT_TRUE(WriteWholeFile(path, Utf16File(ComposeCatalog({u"; fr"}, entries, {}))));

  std::vector<std::string> merges;
  for (int i = 0; i < 3; ++i) {
    const ToolRun run = RunTool({"merge", path, "--out", path});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find(std::to_string(i == 0 ? 1 : 0) +
                           " with a fuzzy suggestion), 1 obsolete entries"),
              std::string::npos)
        << i << run.err;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, &bytes));
    merges.emplace_back(bytes.begin(), bytes.end());
  }
  EXPECT_EQ(merges[1], merges[0]);
  EXPECT_EQ(merges[2], merges[0]);
  const std::u16string text = DecodeUtf16(merges[0]);
  for (const char16_t* line :
       {uR"(#| "\r\n\r\nYou may close this window now.")",
        uR"(#, fuzzy "\r\n\r\nVous pouvez \"fermer\"\t\\ maintenant.")",
        uR"(#~ # $ LAUNCHDLG "Gone \"quoted\"\r\n\\" (title))", uR"(="Parti \"cité\"\r\n\\")"}) {
    EXPECT_NE(text.find(line), std::u16string::npos) << ToUtf8(line) << ToUtf8(text);
  }
  EXPECT_EQ(text.find(kLineSeparator), std::u16string::npos);

  const ToolRun po = RunTool({"export", FixturePath("Launcher.exe"), path, "--po"});
  ASSERT_EQ(po.code, 0) << po.err;
  EXPECT_NE(po.out.find(R"(#| msgid "\r\n\r\nYou may close this window now.")"), std::string::npos)
      << po.out;
  EXPECT_NE(po.out.find(R"(#~ msgctxt "dialog LAUNCHDLG"
#~ msgid ""
#~ "Gone \"quoted\"\r\n"
#~ "\\"
#~ msgstr ""
#~ "Parti \"cité\"\r\n"
#~ "\\")"),
            std::string::npos)
      << po.out;
}

// One answer to "is it translated", as export, check and msgfmt count.
TEST(Merge, TranslationStateOfEachEntry) {
  const std::vector<ProgramText> texts = LauncherTexts();
  const ProgramText& ok = TextOf(texts, "ad441f3e");
  const std::u16string key = u"ad441f3e";
  const struct {
    std::vector<std::u16string> header;
    std::u16string lines;  // above and at the entry of "OK"
    bool keepIdentical;
    TranslationState state;
  } cases[] = {
      {{}, u"", false, TranslationState::kUntranslated},  // no entry
      {{}, u"ad441f3e=\"OK\"", false, TranslationState::kUntranslated},
      {{}, u"ad441f3e=\"OK\"", true, TranslationState::kTranslated},
      {{}, u"ad441f3e=\"Gut\"", false, TranslationState::kTranslated},
      {WithIdenticalKeys({u"; de"}, {u"0badc0de", key}), u"ad441f3e=\"OK\"", false,
       TranslationState::kTranslated},
      {{}, u"#| \"Okay\"\r\n#, fuzzy \"Gut\"\r\nad441f3e=\"OK\"", true, TranslationState::kFuzzy},
  };
  for (const auto& c : cases) {
    std::u16string text;
    for (const std::u16string& h : c.header) text += h + u"\r\n";
    text += kMarkerLine + u"\r\n" + c.lines + u"\r\n";
    CatalogFile file(SystemAnsi);
    ASSERT_TRUE(file.Load(Utf16File(text)));
    EXPECT_EQ(StateOf(file, ok, c.keepIdentical), c.state) << ToUtf8(c.lines);
    const TranslationTally tally = CountTranslations(file, texts, c.keepIdentical);
    EXPECT_EQ(tally.translated + tally.fuzzy + tally.untranslated, 21u);
  }
  // Listed eight to a line, read back whole; listing none removes the lines.
  std::set<std::u16string> many;
  for (const ProgramText& t : texts) many.insert(FromUtf8(KeyText(t.key)));
  const std::vector<std::u16string> header = WithIdenticalKeys({u"; de"}, many);
  EXPECT_EQ(header.size(), 1u + 3u);
  EXPECT_EQ(IdenticalKeys(header), many);
  EXPECT_EQ(WithIdenticalKeys(header, {}), std::vector<std::u16string>{u"; de"});
}

}  // namespace
}  // namespace lngtool
