// "lngtool check" on a set of broken catalogs, each made from the template
// with one fault planted: the check must name the fault and its line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "lngtool/io/text_form.h"
#include "lngtool_test_support.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace lngtool {
namespace {

using Text = std::u16string;

// The template with the line of key replaced by line (empty: removed).
Text WithLine(Text text, const char* key, const Text& line) {
  const size_t at = text.find(FromUtf8(key) + u"=\"");
  EXPECT_NE(at, Text::npos) << key;
  const size_t end = text.find(u"\r\n", at);
  text.replace(at, end + 2 - at, line.empty() ? u"" : line + u"\r\n");
  return text;
}

Text Entry(const char* key, const Text& value) { return FromUtf8(key) + u"=\"" + value + u"\""; }

// The 1-based line of the first occurrence of needle.
uint32_t LineOf(const Text& text, const Text& needle) {
  const size_t at = text.find(needle);
  EXPECT_NE(at, Text::npos) << ToUtf8(needle);
  uint32_t line = 1;
  for (size_t i = 0; i < at; ++i) {
    line += text[i] == u'\n' ? 1 : 0;
  }
  return line;
}

const CheckFinding* Find(const CheckReport& report, Finding what) {
  for (const CheckFinding& f : report.findings) {
    if (f.what == what) {
      return &f;
    }
  }
  return nullptr;
}

std::string Listing(const CheckReport& report) { return report.Format("t.lng"); }

struct Planted {
  const char* name;
  std::function<Text(const Text&)> plant;
  Finding expected;
  Severity severity;
  Text atLine;  // text on the line the finding names; empty: the last line
};

TEST(Check, FindsEachPlantedFault) {
  const Text longText(600, u'x');
  const Planted cases[] = {
      {"upper-case key",
       [](const Text& t) { return WithLine(t, "d82d648f", Entry("D82D648F", u"Bitte warten.")); },
       Finding::kUpperCaseKey, Severity::kError, u"D82D648F"},
      {"key of no text", [](const Text& t) { return t + Entry("0badc0de", u"?") + u"\r\n"; },
       Finding::kUnknownKey, Severity::kWarning, u"0badc0de"},
      {"no closing quote", [](const Text& t) { return WithLine(t, "ad441f3e", u"ad441f3e=\"Gut"); },
       Finding::kNoClosingQuote, Severity::kError, u"ad441f3e=\"Gut"},
      {"escaped quote closes",
       [](const Text& t) { return WithLine(t, "ad441f3e", u"ad441f3e=\"Gut\\\""); },
       Finding::kEscapedQuoteCloses, Severity::kError, u"ad441f3e=\"Gut"},
      {"text after the quote",
       [](const Text& t) { return WithLine(t, "ad441f3e", Entry("ad441f3e", u"Gut") + u" ; ok"); },
       Finding::kTextAfterQuote, Severity::kWarning, u"ad441f3e=\"Gut"},
      {"escape that stays literal",
       [](const Text& t) { return WithLine(t, "ad441f3e", Entry("ad441f3e", u"G\\x75t")); },
       Finding::kLiteralEscape, Severity::kWarning, u"ad441f3e=\"G"},
      {"scale without asterisk",
       [](const Text& t) { return WithLine(t, "be06f7dd", Entry("be06f7dd", u"120x110")); },
       Finding::kBadScale, Severity::kError, u"be06f7dd"},
      {"scale with a missing number",
       [](const Text& t) { return WithLine(t, "2bfcfcd7", Entry("2bfcfcd7", u"120*")); },
       Finding::kBadScale, Severity::kError, u"2bfcfcd7"},
      {"scale of zero",
       [](const Text& t) { return WithLine(t, "2bfcfcd7", Entry("2bfcfcd7", u"0*100")); },
       Finding::kBadScale, Severity::kError, u"2bfcfcd7"},
      {"direction in lower case",
       [](const Text& t) { return WithLine(t, "50a17ae8", Entry("50a17ae8", u"rtl")); },
       Finding::kBadDirection, Severity::kWarning, u"50a17ae8"},
      {"entry on the marker line",
       [](const Text& t) {
         Text out = t;
         out.replace(out.find(u"***messages***"), 14, u"***messages*** ad441f3e=\"Gut\"");
         return out;
       },
       Finding::kEntryOnMarkerLine, Severity::kError, u"***messages***"},
      {"blanks around the equals sign",
       [](const Text& t) { return WithLine(t, "ad441f3e", u"ad441f3e = \"Gut\""); },
       Finding::kNoSeparator, Severity::kError, u"ad441f3e ="},
      {"indented key",
       [](const Text& t) { return WithLine(t, "ad441f3e", u"  " + Entry("ad441f3e", u"Gut")); },
       Finding::kIndented, Severity::kError, u"  ad441f3e"},
      {"key of 7 digits",
       [](const Text& t) { return WithLine(t, "ad441f3e", Entry("d441f3e", u"Gut")); },
       Finding::kKeyLength, Severity::kError, u"d441f3e="},
      {"key cut at the end of the text", [](const Text& t) { return t + u"0badc0de"; },
       Finding::kUnreachable, Severity::kError, u""},
      {"last line longer than 255",
       [&](const Text& t) {
         return WithLine(t, "d82d648f", u"") + Entry("d82d648f", Text(300, u'y'));
       },
       Finding::kValueCut, Severity::kError, u"d82d648f"},
      {"value longer than the fetch buffer",
       [&](const Text& t) { return WithLine(t, "d82d648f", Entry("d82d648f", longText)); },
       Finding::kValueCut, Severity::kError, u"d82d648f"},
      {"bitmap name translated",
       [](const Text& t) { return WithLine(t, "cc2d4abb", Entry("cc2d4abb", u"LOGOTIPO")); },
       Finding::kImageNameChanged, Severity::kWarning, u"cc2d4abb"},
      {"link markup lost",
       [](const Text& t) { return WithLine(t, "c348919f", Entry("c348919f", u"Datenschutz")); },
       Finding::kLinkMarkupLost, Severity::kError, u"c348919f"},
      {"link that lost the closing quote of its href",
       [](const Text& t) {
         return WithLine(t, "c348919f",
                         Entry("c348919f", uR"(<a href=\"http://x.test/p>Datenschutz</a>)"));
       },
       Finding::kLinkMarkupBroken, Severity::kError, u"c348919f"},
      {"link that lost its </a>",
       [](const Text& t) {
         return WithLine(t, "c348919f",
                         Entry("c348919f", uR"(<a href=\"http://x.test/p\">Datenschutz)"));
       },
       Finding::kLinkMarkupBroken, Severity::kError, u"c348919f"},
      {"link to another page",
       [](const Text& t) {
         return WithLine(t, "c348919f",
                         Entry("c348919f", uR"(<a href=\"https://x.test/de\">Datenschutz</a>)"));
       },
       Finding::kLinkTargetChanged, Severity::kWarning, u"c348919f"},
      {"ending mark dropped",
       [](const Text& t) { return WithLine(t, "d82d648f", Entry("d82d648f", u"Baidu Antivirus")); },
       Finding::kEndPunctuation, Severity::kWarning, u"d82d648f"},
      {"two controls of a dialog with one access key",
       [](const Text& t) {
         return WithLine(WithLine(t, "7b876e02", Entry("7b876e02", u"&Baidu Antivirus")),
                         "c079bbc6", Entry("c079bbc6", u"&Bien"));
       },
       Finding::kSameAccessKey, Severity::kWarning, u"c079bbc6"},
      {"installer name translated",
       [](const Text& t) { return WithLine(t, "2455b360", Entry("2455b360", u"Installer.exe")); },
       Finding::kInstallerNameChanged, Severity::kWarning, u"2455b360"},
      {"installer name translated, as read from a language folder",
       [](const Text& t) { return WithLine(t, "2455b360", Entry("2455b360", u"uninstall.exe")); },
       Finding::kInstallerNameBesideOnly, Severity::kNote, u"2455b360"},
      {"installer name outside the launcher's folder",
       [](const Text& t) {
         return WithLine(t, "2455b360", Entry("2455b360", uR"(..\..\users\Public\evil.exe)"));
       },
       Finding::kInstallerNameRefused, Severity::kError, u"2455b360"},
      {"link to a program",
       [](const Text& t) {
         return WithLine(t, "c348919f",
                         Entry("c348919f", uR"(<a href=\"file:///C:/evil.exe\">Datenschutz</a>)"));
       },
       Finding::kLinkTargetRefused, Severity::kError, u"c348919f"},
      {"first-use page that could carry arguments",
       [](const Text& t) {
         return WithLine(t, "2a3edeb8", Entry("2a3edeb8", uR"(http://x.test/\" --evil)"));
       },
       Finding::kLinkTargetRefused, Severity::kError, u"2a3edeb8"},
      {"https first-use page with a blank",
       [](const Text& t) {
         return WithLine(t, "2a3edeb8", Entry("2a3edeb8", u"HTTPS://x.test/ y"));
       },
       Finding::kLinkTargetRefused, Severity::kError, u"2a3edeb8"},
      {"information text over 1023",
       [](const Text& t) {
         Text out = t;
         for (const char* key : {"d82d648f", "70506c90", "077fb989", "b67d4afa"}) {
           out = WithLine(out, key, Entry(key, Text(300, u'z')));
         }
         return out;
       },
       Finding::kInfoTextCut, Severity::kWarning, u"b67d4afa"},
  };
  const Text base = TemplateCatalog();
  for (const Planted& c : cases) {
    const Text text = c.plant(base);
    const CheckReport report = CheckBytes(Utf16File(text));
    const CheckFinding* f = Find(report, c.expected);
    ASSERT_NE(f, nullptr) << c.name << "\n" << Listing(report);
    EXPECT_EQ(f->severity, c.severity) << c.name;
    const uint32_t line =
        c.atLine.empty() ? 1 + static_cast<uint32_t>(std::count(text.begin(), text.end(), u'\n'))
                         : LineOf(text, c.atLine);
    EXPECT_EQ(f->line, line) << c.name << "\n" << Listing(report);
    EXPECT_EQ(report.HasErrors(), c.severity == Severity::kError) << c.name << Listing(report);
  }
}

TEST(Check, WrongKindOrContextIsNamed) {
  // "OK" keyed as a string-table text instead of as a text of INFODLG.
  const uint32_t key = CatalogKeyCrc(SystemAnsi, kStringText, nullptr, u"OK");
  const Text text = TemplateCatalog() + FromUtf8(KeyText(key)) + u"=\"Gut\"\r\n";
  const CheckReport report = CheckBytes(Utf16File(text));
  const CheckFinding* f = Find(report, Finding::kUnknownKey);
  ASSERT_NE(f, nullptr);
  EXPECT_NE(f->message.find("as s (no context)"), std::string::npos) << f->message;
  // "OK" is a text of both dialogs: both right keys are named.
  EXPECT_NE(f->message.find("INFODLG \"OK\" (key ad441f3e)"), std::string::npos) << f->message;
  EXPECT_NE(f->message.find("LAUNCHDLG \"OK\" (key c079bbc6)"), std::string::npos) << f->message;
}

// Among lines with one key the check names the line the launcher's sorted
// index search meets first, which is what the launcher then shows.
TEST(Check, DuplicateKeysNameTheLauncherChoice) {
  for (int copies = 2; copies <= 5; ++copies) {
    Text text = TemplateCatalog();
    for (int i = 0; i < copies - 1; ++i) {
      text += Entry("ad441f3e", u"Gut " + FromUtf8(std::to_string(i))) + u"\r\n";
    }
    const std::vector<uint8_t> file = Utf16File(text);
    const CheckReport report = CheckBytes(file);
    const CheckFinding* f = Find(report, Finding::kDuplicateKey);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->severity, Severity::kError);
    const size_t at = f->message.find("uses line ");
    ASSERT_NE(at, std::string::npos);
    const uint32_t used = static_cast<uint32_t>(std::stoul(f->message.substr(at + 10)));
    MessageCatalog catalog;
    catalog.LoadFromBytes(file.data(), file.size());
    char16_t shown[1024];
    catalog.Translate(u"OK", shown, 1024, kDialogText, u"INFODLG");
    CatalogFile traced(SystemAnsi);
    traced.Load(file);
    bool found = false;
    for (const BodyLine& l : traced.lines) {
      if (l.fileLine == used && LooksLikeKey(l.text)) {
        EXPECT_EQ(ReadEntryShape(l).intended, Text(shown)) << copies;
        found = true;
      }
    }
    EXPECT_TRUE(found) << f->message;
  }
  const Text same = TemplateCatalog() + Entry("ad441f3e", u"OK") + u"\r\n";
  const CheckReport sameReport = CheckBytes(Utf16File(same));
  const CheckFinding* f = Find(sameReport, Finding::kDuplicateKey);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->severity, Severity::kWarning);
}

TEST(Check, MarkerWhereAndInWhichForm) {
  const Text base = TemplateCatalog();
  const CheckReport utf16 = CheckBytes(Utf16File(base));
  const CheckFinding* f = Find(utf16, Finding::kMarker);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->line, LineOf(base, u"***messages***"));
  EXPECT_NE(f->message.find("UTF-16 LE"), std::string::npos);
  EXPECT_NE(Find(CheckBytes(AnsiFile(base)), Finding::kMarker)->message.find("8-bit"),
            std::string::npos);

  Text noMarker = base;
  noMarker.replace(noMarker.find(u"***messages***"), 14, u"***Messages***");
  const CheckReport none = CheckBytes(Utf16File(noMarker));
  EXPECT_NE(Find(none, Finding::kNoMarker), nullptr);
  EXPECT_NE(Find(none, Finding::kMarkerCase), nullptr);
  EXPECT_TRUE(none.HasErrors());

  // More than the 1,046,528 bytes the search covers before the marker.
  const std::vector<uint8_t> far = AnsiFile(Text(1100000, u' ') + base);
  const CheckReport unreached = CheckBytes(far);
  EXPECT_NE(Find(unreached, Finding::kNoMarker), nullptr);
  EXPECT_NE(Find(unreached, Finding::kMarkerUnreached), nullptr);

  std::vector<uint8_t> bigEndian = {0xFE, 0xFF};
  for (char16_t c : base) {
    bigEndian.push_back(static_cast<uint8_t>(c >> 8));
    bigEndian.push_back(static_cast<uint8_t>(c));
  }
  EXPECT_NE(Find(CheckBytes(bigEndian), Finding::kEncoding), nullptr);

  const std::string utf8 =
      "\xEF\xBB\xBF" + ToUtf8(WithLine(base, "ad441f3e", Entry("ad441f3e", u"S\xED")));
  const CheckReport asUtf8 = CheckBytes(std::vector<uint8_t>(utf8.begin(), utf8.end()));
  EXPECT_NE(Find(asUtf8, Finding::kEncoding), nullptr) << Listing(asUtf8);
}

TEST(Check, LimitsNameTheLostEntries) {
  // Comment lines enough to push the INFODLG entries past 262,144 characters.
  const Text base = TemplateCatalog();
  const size_t info = base.find(u"# $ INFODLG");
  const Text filler = u"# " + Text(98, u'-') + u"\r\n";
  Text big = base.substr(0, info);
  while (big.size() < 262144 + 1000) {
    big += filler;
  }
  big += base.substr(info);
  for (const bool ansi : {false, true}) {
    const CheckReport report = CheckBytes(ansi ? AnsiFile(big) : Utf16File(big));
    const CheckFinding* cut = Find(report, Finding::kBodyCut);
    ASSERT_NE(cut, nullptr) << Listing(report);
    EXPECT_EQ(report.Count(Finding::kEntryLost), 5u) << Listing(report);  // 4 INFODLG + direction
    // The INFODLG title, image, OK and scale, and the direction.
    EXPECT_EQ(report.missing, 5u);
    bool namesOk = false;
    for (const CheckFinding& f : report.findings) {
      if (f.what == Finding::kEntryLost && f.message.find("INFODLG \"OK\"") != std::string::npos) {
        namesOk = f.line == LineOf(big, u"ad441f3e=");
      }
    }
    EXPECT_TRUE(namesOk) << Listing(report);
  }
  Text nul = base;
  nul.insert(info, 1, u'\0');
  const CheckReport report = CheckBytes(Utf16File(nul));
  ASSERT_NE(Find(report, Finding::kNulEnds), nullptr) << Listing(report);
  EXPECT_EQ(Find(report, Finding::kNulEnds)->line, LineOf(nul, u"# $ INFODLG"));
  EXPECT_EQ(report.Count(Finding::kEntryLost), 5u);
}

TEST(Check, Coverage) {
  Text text = TemplateCatalog();
  text = WithLine(text, "ad441f3e", Entry("ad441f3e", u"Gut"));
  text = WithLine(text, "b18af6e2", Entry("b18af6e2", u"Zentak Einrichtung"));
  text = WithLine(text, "d82d648f", u"");
  const CheckReport report = CheckBytes(Utf16File(text));
  EXPECT_EQ(report.total, 21u);
  EXPECT_EQ(report.translated, 2u);
  EXPECT_EQ(report.missing, 1u);
  EXPECT_EQ(report.untranslated, 19u);
  ASSERT_NE(Find(report, Finding::kCoverage), nullptr);
  EXPECT_NE(Find(report, Finding::kCoverage)->message.find("2 of 21"), std::string::npos);
}

// A translator turns a check off for the language, in the catalog's header
// or on the command line; a name that is no check's is said.
TEST(Check, ChecksTurnedOffByName) {
  const Text text = WithLine(TemplateCatalog(), "d82d648f", Entry("d82d648f", u"Bitte warten"));
  static const std::vector<ProgramText> texts = LauncherTexts();
  auto check = [&](const Text& catalog, const CheckOptions& options) {
    CatalogFile file(SystemAnsi);
    file.Load(Utf16File(catalog));
    return CheckCatalog(file, &texts, SystemAnsi, 1252, options);
  };
  CheckOptions options;
  EXPECT_EQ(check(text, options).Count(Finding::kEndPunctuation), 1u);
  EXPECT_EQ(check(text, options).Count(Finding::kProductName), 1u);
  EXPECT_NE(Listing(check(text, options)).find("[endpunc]\n"), std::string::npos);
  options.skipped = {"endpunc"};
  EXPECT_EQ(check(text, options).Count(Finding::kEndPunctuation), 0u);
  EXPECT_EQ(check(text, options).Count(Finding::kProductName), 1u);
  options = CheckOptions();
  options.productNames = {u"Internet"};
  EXPECT_EQ(check(text, options).Count(Finding::kProductName), 0u);

  Text silenced = text;
  silenced.insert(0, u"; No-Check: endpunc, names\r\n; No-Check: frobs\r\n");
  const CheckReport report = check(silenced, CheckOptions());
  EXPECT_EQ(report.Count(Finding::kEndPunctuation), 0u) << Listing(report);
  EXPECT_EQ(report.Count(Finding::kProductName), 0u) << Listing(report);
  ASSERT_EQ(report.Count(Finding::kUnknownCheck), 1u) << Listing(report);
  EXPECT_NE(Listing(report).find("t.lng:2: warning: the header turns off \"frobs\""),
            std::string::npos)
      << Listing(report);
}

// Several catalogs in one call: each finding names its file, the exit
// status is the worst; --untranslated, --statistics and the coverage line
// count alike.
TEST(Check, SeveralCatalogsInOneCall) {
  const std::string clean = TempPath("several_clean.lng");
  const std::string warned = TempPath("several_warned.lng");
  const std::string broken = TempPath("several_broken.lng");
  Text text = WithLine(TemplateCatalog(), "d82d648f", Entry("d82d648f", u"Bitte warten"));
  text = WithLine(text, "ad441f3e", Entry("ad441f3e", u"Gut"));
  ASSERT_TRUE(WriteWholeFile(clean, Utf16File(TemplateCatalog())));
  ASSERT_TRUE(WriteWholeFile(warned, Utf16File(text)));
  ASSERT_TRUE(WriteWholeFile(broken, Utf16File(WithLine(text, "ad441f3e", u"ad441f3e=\"Gut"))));
  const ToolRun warnedOnly = RunTool({"check", clean, warned, "--untranslated", "--statistics"});
  EXPECT_EQ(warnedOnly.code, kExitFine) << warnedOnly.out;
  EXPECT_NE(warnedOnly.out.find(warned + ":" + std::to_string(LineOf(text, u"d82d648f=")) +
                                ": warning: "),
            std::string::npos)
      << warnedOnly.out;
  EXPECT_NE(warnedOnly.out.find(clean + ": note: coverage: 0 of 21"), std::string::npos);
  EXPECT_NE(warnedOnly.out.find(warned + ": note: coverage: 2 of 21 texts translated, 19 "
                                         "untranslated"),
            std::string::npos)
      << warnedOnly.out;
  EXPECT_NE(warnedOnly.err.find(warned + ": 2 translated messages, 19 untranslated messages."),
            std::string::npos)
      << warnedOnly.err;
  size_t listed = 0;
  for (size_t at = 0; (at = warnedOnly.out.find(warned + ":", at)) != std::string::npos; ++at) {
    listed += warnedOnly.out.compare(warnedOnly.out.find(": ", at + warned.size()), 16,
                                     ": untranslated: ") == 0;
  }
  EXPECT_EQ(listed, 19u) << warnedOnly.out;

  EXPECT_EQ(RunTool({"check", clean, broken, warned}).code, kExitFindings);
  EXPECT_EQ(RunTool({"check", broken, TempPath("absent.lng"), clean}).code, kExitFailure);
  EXPECT_EQ(RunTool({"check", warned, "--no-check", "endpunc,names"}).out.find("warning"),
            std::string::npos);
  const ToolRun unknown = RunTool({"check", warned, "--no-check", "endpunc,frobs"});
  EXPECT_EQ(unknown.code, kExitFailure);
  EXPECT_NE(unknown.err.find("there is no check frobs"), std::string::npos) << unknown.err;
  const std::string names = TempPath("names.txt");
  ASSERT_TRUE(WriteWholeFile(names, std::vector<uint8_t>{'#', ' ', 'x', '\n', 'G', 'u', 't'}));
  const ToolRun kept = RunTool({"check", warned, "--keep-names", names, "--no-check", "endpunc"});
  EXPECT_EQ(kept.out.find("[names]"), std::string::npos) << kept.out;
  EXPECT_EQ(RunTool({"check", warned, "--keep-names", TempPath("absent.txt")}).code, kExitFailure);
}

TEST(Check, OtherCodePage) {
  const AnsiCodec* cyrillic = nullptr;
  std::string why;
  ASSERT_TRUE(SelectCodePage(1251, &cyrillic, &why)) << why;
  const Text text = WithLine(TemplateCatalog(), "ad441f3e", Entry("ad441f3e", u"\x0414\x0430"));
  bool lossy = true;
  const std::vector<uint8_t> bytes = EncodeCatalog(text, FileForm::kAnsi, *cyrillic, &lossy);
  EXPECT_FALSE(lossy);
  const std::string path = TempPath("cyrillic.lng");
  ASSERT_TRUE(WriteWholeFile(path, bytes));
  const ToolRun run = RunTool({"check", path, "--codepage", "1251"});
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("1 of 21 texts translated"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("code page 1251"), std::string::npos);
  EXPECT_EQ(RunTool({"check", path, "--codepage", "99999"}).code, kExitFailure);
}

// Random damage to a catalog in either form: the report stays consistent
// (one word on the marker, lines within the file, every text counted once),
// and the check never reads outside what it was given (the sanitizer build
// watches).
TEST(Check, SurvivesDamagedCatalogs) {
  const Text base = TemplateCatalog();
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = round % 2 == 0 ? Utf16File(base) : AnsiFile(base);
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0:
          bytes[at] = static_cast<uint8_t>(random());
          break;
        case 1:
          bytes.resize(at);
          break;
        case 2:
          bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(at), {'\\', '"', 0x0C, '\r'});
          break;
        default:
          bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(at));
      }
    }
    const CheckReport report = CheckBytes(bytes);
    // Either where the marker is or that there is none, never both.
    EXPECT_EQ(report.Count(Finding::kMarker) + report.Count(Finding::kNoMarker), 1u) << round;
    // No line past the file's last (a lone CR ends a line too).
    const auto breaks =
        std::count_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0x0A || b == 0x0D; });
    for (const CheckFinding& f : report.findings) {
      EXPECT_LE(f.line, static_cast<uint32_t>(breaks) + 1) << round << ": " << f.message;
      EXPECT_FALSE(f.message.empty()) << round;
    }
    EXPECT_EQ(report.translated + report.fuzzy + report.untranslated, report.total) << round;
  }
}

TEST(Check, ExitCodesAndListing) {
  const std::string clean = TempPath("clean.lng");
  const std::string broken = TempPath("broken.lng");
  ASSERT_TRUE(WriteWholeFile(clean, Utf16File(TemplateCatalog())));
  const Text bad = WithLine(TemplateCatalog(), "ad441f3e", Entry("AD441F3E", u"Gut"));
  ASSERT_TRUE(WriteWholeFile(broken, Utf16File(bad)));
  EXPECT_EQ(RunTool({"check", clean}).code, 0);
  const ToolRun run = RunTool({"check", broken});
  EXPECT_EQ(run.code, kExitFindings);
  EXPECT_NE(run.out.find(broken + ":" + std::to_string(LineOf(bad, u"AD441F3E")) + ": error: "),
            std::string::npos)
      << run.out;
  // Without a module the keys cannot be compared: said, but no error.
  const ToolRun alone = RunTool({"check", clean, "--program", FixturePath("none.exe")});
  EXPECT_NE(alone.code, kExitFindings);
  EXPECT_EQ(RunTool({"check", TempPath("absent.lng")}).code, kExitFailure);
}

}  // namespace
}  // namespace lngtool
