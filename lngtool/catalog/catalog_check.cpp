#include "lngtool/catalog/catalog_check.h"

#include <algorithm>
#include <map>

#include "base/bounded_text.h"
#include "base/path_text.h"
#include "launcher/offer_text.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/io/text_form.h"
#include "localization/catalog_text.h"

namespace lngtool {
namespace {
constexpr size_t kListedLosses = 20;
constexpr int32_t kLargeScale = 400;
// The loader's search finds a marker that begins within this many bytes.
constexpr uint64_t kMarkerReach =
    static_cast<uint64_t>(kMarkerChunkLimit) * (kMarkerChunkBytes - kMarkerChunkOverlap);

// A count as the messages give it, in groups of three digits: 1,046,528.
std::string Grouped(uint64_t n) {
  std::string digits = std::to_string(n);
  for (size_t at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, ",");
  }
  return digits;
}

const char* DescribeFileNameFault(FileNameFault fault) {
  switch (fault) {
    case FileNameFault::kEmpty:
      return "it is empty";
    case FileNameFault::kDotName:
      return "it names a folder (\".\" or \"..\")";
    case FileNameFault::kFolderPart:
      return "it holds a folder, drive or stream part (a backslash, slash or colon)";
    case FileNameFault::kRefusedChar:
      return "it holds a control character or one of * ? \" < > |";
    case FileNameFault::kTrailingDotOrBlank:
      return "it ends in a dot or blank, which Windows drops";
    case FileNameFault::kDeviceName:
      return "it is a device name such as NUL or COM1";
    case FileNameFault::kNone:
      break;
  }
  return "";
}

bool StartsWithNoCase(const std::u16string& text, size_t at, const char16_t* upper) {
  for (size_t i = 0; upper[i] != 0; ++i) {
    if (at + i >= text.size() || UpperCaseChar(text[at + i]) != upper[i]) return false;
  }
  return true;
}

// The href of every anchor in link markup, as the link control reads it:
// quoted with either quote, or empty when the anchor has none.
std::vector<std::u16string> LinkTargets(const std::u16string& markup) {
  std::vector<std::u16string> targets;
  for (size_t at = 0; (at = markup.find(u'<', at)) != std::u16string::npos; ++at) {
    if (!StartsWithNoCase(markup, at + 1, u"A") ||
        (at + 2 < markup.size() && markup[at + 2] != u' ' && markup[at + 2] != u'>')) {
      continue;
    }
    const size_t end = markup.find(u'>', at);
    const std::u16string tag = markup.substr(at, end == std::u16string::npos ? end : end - at);
    std::u16string target;
    for (size_t h = 0; h < tag.size(); ++h) {
      if (!StartsWithNoCase(tag, h, u"HREF=") || h + 5 >= tag.size()) continue;
      const char16_t quote = tag[h + 5];
      const size_t from = quote == u'"' || quote == u'\'' ? h + 6 : h + 5;
      const size_t to =
          quote == u'"' || quote == u'\'' ? tag.find(quote, from) : tag.find(u' ', from);
      target = tag.substr(from, to == std::u16string::npos ? to : to - from);
      break;
    }
    targets.push_back(target);
  }
  return targets;
}

class Checker {
 public:
  Checker(const CatalogFile& file, const std::vector<ProgramText>* texts, const AnsiCodec& codec,
          uint32_t codePage)
      : file_(file), texts_(texts), codec_(codec), codePage_(codePage) {}

  CheckReport Run() {
    CheckMarker();
    if (!file_.markerFound) {
      return std::move(report_);
    }
    IndexTexts();
    CheckLimits();
    CheckLines();
    CheckDuplicates();
    if (texts_ != nullptr) {
      CheckProgramTexts();
    } else {
      Add(Severity::kWarning, Finding::kNoModule, 0,
          "no program module was read: keys are not compared with the program's texts "
          "(give the module with --module, or place lngtool beside Launcher.exe)");
    }
    return std::move(report_);
  }

 private:
  void Add(Severity s, Finding what, uint32_t line, const std::string& message) {
    report_.findings.push_back({s, what, line, message});
  }

  std::string Describe(const ProgramText& t) const {
    std::string s = std::string(KindLetter(t.kind)) + " ";
    if (t.hasContext) {
      s += ToUtf8(t.context) + " ";
    }
    return s + Quoted(t.source);
  }

  // --- the marker ---------------------------------------------------------

  void CheckMarker() {
    if (!file_.markerFound) {
      ExplainMissingMarker();
      return;
    }
    const std::vector<BodyLine>& lines = file_.lines;
    Add(Severity::kNote, Finding::kMarker, lines.empty() ? 0 : lines[0].fileLine,
        "marker at byte " + std::to_string(file_.markerPosition) + ", " + FormName(file_.form) +
            (file_.form == CatalogForm::kAnsi ? " read in code page " + CodePageName() : ""));
    CheckFoundEncoding();
    if (!lines.empty()) {
      CheckMarkerLine(lines[0]);
    }
  }

  // Why the launcher finds no marker, where the file says.
  void ExplainMissingMarker() {
    Add(Severity::kError, Finding::kNoMarker, 0,
        "no marker line: the launcher ignores the whole file (the catalog begins with a line "
        "starting with " +
            ToUtf8(kMarkerLine) + ")");
    if (file_.unreachedMarker >= 0) {
      Add(Severity::kError, Finding::kMarkerUnreached, 0,
          "there is a marker at byte " + std::to_string(file_.unreachedMarker) + " (" +
              FormName(file_.unreachedForm) +
              "), but the launcher's search does not reach it: it looks at the first " +
              Grouped(kMarkerReach) + " bytes only; move the marker to the top of the file");
    }
    if (file_.bigEndian) {
      Add(Severity::kError, Finding::kEncoding, 0,
          "the file is UTF-16 big-endian, which the launcher does not read: save it as UTF-16 "
          "LE");
    }
    if (file_.markerInOtherCase >= 0) {
      Add(Severity::kError, Finding::kMarkerCase, 0,
          "byte " + std::to_string(file_.markerInOtherCase) +
              " holds the marker in other letters' case: only " + ToUtf8(kMarkerLine) +
              " in lower case is recognised");
    }
  }

  // A marker was found, but the text around it is in a form the launcher garbles.
  void CheckFoundEncoding() {
    const uint32_t line = file_.lines.empty() ? 0 : file_.lines[0].fileLine;
    if (file_.bigEndian) {
      Add(Severity::kError, Finding::kEncoding, line,
          "the file is UTF-16 big-endian: the launcher finds the marker one byte off and reads "
          "ASCII text right by chance, but garbles every other character; save it as UTF-16 LE "
          "(lngtool convert does)");
    }
    if (file_.form == CatalogForm::kAnsi && file_.looksLikeUtf8) {
      Add(Severity::kError, Finding::kEncoding, line,
          "the file looks like UTF-8, but the launcher reads an 8-bit file in the system's ANSI "
          "code page: letters outside ASCII will be garbled and keys of such texts will not "
          "match; save it as UTF-16 LE (lngtool convert does)");
    }
  }

  // The scan over every line starts at the marker itself, so nothing after
  // the marker on its own line can be reached.
  void CheckMarkerLine(const BodyLine& markerLine) {
    const std::u16string& marker = markerLine.text;
    for (size_t i = 13; i + 10 <= marker.size(); ++i) {
      if (LooksLikeKey(marker.substr(i)) && marker[i + 8] == u'=' && marker[i + 9] == u'"') {
        Add(Severity::kError, Finding::kEntryOnMarkerLine, markerLine.fileLine,
            "the entry " + ToUtf8(marker.substr(i, 8)) +
                " stands on the marker line, which never holds an entry: put it on a line of "
                "its own");
        return;
      }
    }
  }

  std::string FormName(CatalogForm form) const {
    return form == CatalogForm::kUtf16 ? "UTF-16 LE form" : "8-bit form";
  }
  std::string CodePageName() const {
    return codePage_ == 0 ? "of the system" : std::to_string(codePage_);
  }

  // --- limits -------------------------------------------------------------

  void CheckLimits() {
    const std::vector<BodyLine>& lines = file_.lines;
    size_t firstLost = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].kept) {
        firstLost = i;
        break;
      }
    }
    std::vector<size_t> lost;
    for (size_t i = firstLost; i < lines.size(); ++i) {
      if (ReadEntryShape(lines[i]).isEntry) {
        lost.push_back(i);
      }
    }
    if (file_.hasNul) {
      // Padding after the last entry costs nothing; entries after it do.
      Add(lost.empty() ? Severity::kWarning : Severity::kError, Finding::kNulEnds, file_.nulLine,
          "a NUL character ends the catalog text here: nothing after it is read");
    }
    if (firstLost == lines.size()) {
      return;
    }
    if (!file_.hasNul || lines[firstLost].cut) {
      Add(lost.empty() ? Severity::kWarning : Severity::kError, Finding::kBodyCut,
          lines[firstLost].fileLine,
          "the catalog is cut here: the launcher reads " + Grouped(kBodyReadBytes) +
              " bytes from the marker on (this body has " + std::to_string(file_.bodyBytes) +
              ") and keeps " + Grouped(kMaxCatalogUnits) + " characters; " +
              std::to_string(lost.size()) + " entries from here on are lost");
    }
    for (size_t k = 0; k < lost.size() && k < kListedLosses; ++k) {
      const BodyLine& l = lines[lost[k]];
      const EntryShape e = ReadEntryShape(l);
      std::string what = "entry " + ToUtf8(e.key);
      const auto known = textsByKey_.find(ToUtf8(LowerKey(e.key)));
      if (known != textsByKey_.end()) {
        what += " (" + Describe(*known->second) + ")";
      }
      Add(Severity::kError, Finding::kEntryLost, l.fileLine,
          what + (l.cut ? " is cut short" : " is lost"));
    }
    if (lost.size() > kListedLosses) {
      Add(Severity::kError, Finding::kEntryLost, lines[lost[kListedLosses]].fileLine,
          "and " + std::to_string(lost.size() - kListedLosses) + " more entries are lost");
    }
  }

  // --- each line ----------------------------------------------------------

  void CheckLines() {
    const std::vector<BodyLine>& lines = file_.lines;
    for (size_t i = 1; i < lines.size(); ++i) {
      const BodyLine& l = lines[i];
      if (!l.kept && !l.cut) {
        break;
      }
      const EntryShape e = ReadEntryShape(l);
      if (!e.isEntry) {
        CheckNonEntry(l);
        continue;
      }
      CheckKey(l, e);
      // Without '="' the quote rules say nothing the separator error does not.
      if (e.lowerCase && e.hasSeparator) {
        CheckValueShape(l, e);
      }
    }
  }

  void CheckNonEntry(const BodyLine& l) {
    size_t blanks = 0;
    while (blanks < l.text.size() && (l.text[blanks] == u' ' || l.text[blanks] == u'\t')) {
      ++blanks;
    }
    const std::u16string rest = l.text.substr(blanks);
    if (blanks > 0 && LooksLikeKey(rest)) {
      Add(Severity::kError, Finding::kIndented, l.fileLine,
          "blanks before the key " + ToUtf8(rest.substr(0, 8)) +
              ": a key must begin its line, this entry is never used");
      return;
    }
    size_t digits = 0;
    while (digits < rest.size() && LooksLikeKey(std::u16string(8, rest[digits]))) {
      ++digits;
    }
    if (digits > 0 && digits != 8 && digits + 1 < rest.size() && rest[digits] == u'=' &&
        rest[digits + 1] == u'"') {
      Add(Severity::kError, Finding::kKeyLength, l.fileLine,
          "the key " + ToUtf8(rest.substr(0, digits)) + " has " + std::to_string(digits) +
              " digits; a key has exactly 8 (leading zeros included)");
    }
  }

  void CheckKey(const BodyLine& l, const EntryShape& e) {
    const std::string key = ToUtf8(e.key);
    if (!e.lowerCase) {
      std::string message = "the key " + key +
                            " has upper-case digits: the launcher compares keys case-sensitively "
                            "and never matches it; write " +
                            ToUtf8(LowerKey(e.key));
      const auto known = textsByKey_.find(ToUtf8(LowerKey(e.key)));
      if (known != textsByKey_.end()) {
        message += " (" + Describe(*known->second) + ")";
      }
      Add(Severity::kError, Finding::kUpperCaseKey, l.fileLine, message);
      return;
    }
    if (!e.hasSeparator) {
      Add(Severity::kError, Finding::kNoSeparator, l.fileLine,
          "the key " + key +
              " is not followed by =\" (an equals sign and a double quote, with no blanks): the "
              "launcher still takes the value from the 11th character on");
    }
    const int64_t chosen = file_.ChosenLine(e.key);
    if (chosen < 0) {
      Add(Severity::kError, Finding::kUnreachable, l.fileLine,
          "the entry " + key +
              " is never reached: it begins within the last 8 characters of the catalog text, "
              "which the launcher's index leaves out, and is too short for its scan");
    }
    if (texts_ != nullptr && textsByKey_.count(key) == 0) {
      Add(Severity::kWarning, Finding::kUnknownKey, l.fileLine,
          "the key " + key + " matches no text of the program" + WrongKeyHint(key));
    }
  }

  void CheckValueShape(const BodyLine& l, const EntryShape& e) {
    const std::string key = ToUtf8(e.key);
    if (!e.closed && e.escapedQuoteCloses) {
      Add(Severity::kError, Finding::kEscapedQuoteCloses, l.fileLine,
          "the value of " + key +
              " has no closing quote, so its last escaped quote (\\\") ends it and the text "
              "after that is lost");
    } else if (!e.closed) {
      Add(Severity::kError, Finding::kNoClosingQuote, l.fileLine,
          "the value of " + key + " has no closing quote: it runs to the end of the line");
    } else if (e.escapedQuoteCloses) {
      Add(Severity::kError, Finding::kEscapedQuoteCloses, l.fileLine,
          "an escaped quote (\\\") after the closing quote of " + key + " ends the value instead");
    } else if (e.textAfterQuote) {
      Add(Severity::kWarning, Finding::kTextAfterQuote, l.fileLine,
          "the text after the closing quote of " + key + " is ignored");
    }
    for (uint32_t column : e.literalBackslashes) {
      Add(Severity::kWarning, Finding::kLiteralEscape, l.fileLine,
          "column " + std::to_string(column) +
              ": this backslash stays as it is; the escapes are \\\" \\\\ \\n \\r \\t (write \\\\ "
              "for a backslash)");
    }
  }

  void CheckDuplicates() {
    std::map<std::string, std::vector<size_t>> byKey;
    for (size_t i = 1; i < file_.lines.size(); ++i) {
      const BodyLine& l = file_.lines[i];
      if (!l.kept && !l.cut) {
        break;
      }
      const EntryShape e = ReadEntryShape(l);
      if (e.isEntry && e.lowerCase) {
        byKey[ToUtf8(e.key)].push_back(i);
      }
    }
    for (const auto& group : byKey) {
      if (group.second.size() < 2) {
        continue;
      }
      const int64_t chosen = file_.ChosenLine(FromUtf8(group.first));
      std::string where;
      bool differ = false;
      const std::u16string first = ReadEntryShape(file_.lines[group.second[0]]).intended;
      for (size_t i : group.second) {
        where += (where.empty() ? "" : ", ") + std::to_string(file_.lines[i].fileLine);
        if (ReadEntryShape(file_.lines[i]).intended != first) {
          differ = true;
        }
      }
      std::string used =
          chosen >= 0 ? "the launcher uses line " +
                            std::to_string(file_.lines[static_cast<size_t>(chosen)].fileLine) +
                            " (its binary search over the sorted index meets that "
                            "one first)"
                      : "the launcher uses none of them";
      std::string message = "the key " + group.first + " appears on lines " + where;
      message += differ ? " with different values; " : "; ";
      message += used;
      Add(differ ? Severity::kError : Severity::kWarning, Finding::kDuplicateKey,
          file_.lines[group.second[0]].fileLine, message);
    }
  }

  // --- the program's texts --------------------------------------------------

  void IndexTexts() {
    if (texts_ == nullptr) {
      return;
    }
    for (const ProgramText& t : *texts_) {
      textsByKey_[KeyText(t.key)] = &t;
    }
    // Keys of the same texts under another kind or context: the commonest
    // way to form a wrong key.
    const char16_t* contexts[] = {nullptr, kDialogNames[0], kDialogNames[1], u"LTR"};
    for (const ProgramText& t : *texts_) {
      for (const LookupKind kind : {kStringText, kDialogText, kMenuText}) {
        for (const char16_t* context : contexts) {
          const uint32_t key = CatalogKeyCrc(codec_, kind, context, t.source.c_str());
          if (key == t.key) {
            continue;
          }
          const std::string as =
              std::string(KindLetter(kind)) +
              (context != nullptr ? " " + ToUtf8(context) : std::string(" (no context)"));
          wrongAs_.emplace(KeyText(key), "the key of " + Quoted(t.source) + " as " + as);
          rightAs_.emplace(KeyText(key), Describe(t) + " (key " + KeyText(t.key) + ")");
        }
      }
    }
  }

  std::string WrongKeyHint(const std::string& key) const {
    const auto wrong = wrongAs_.find(key);
    if (wrong == wrongAs_.end()) {
      return "";
    }
    std::string rights;
    const auto range = rightAs_.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
      rights += (rights.empty() ? "" : " or as ") + it->second;
    }
    return ": it is " + wrong->second + "; the launcher looks that text up as " + rights;
  }

  void CheckProgramTexts() {
    for (const ProgramText& t : *texts_) {
      CheckProgramText(t);
    }
    CheckInfoText();
    Add(Severity::kNote, Finding::kCoverage, 0,
        "coverage: " + std::to_string(report_.translated) + " of " + std::to_string(report_.total) +
            " texts translated (" + std::to_string(report_.same) + " as in English, " +
            std::to_string(report_.missing) + " missing)");
  }

  // What the launcher shows for t: its own lookup, in its own buffer size.
  std::u16string Shown(const ProgramText& t) const {
    std::vector<char16_t> buffer(t.Capacity(), 0);
    file_.catalog.Translate(t.source.c_str(), buffer.data(), buffer.size(), t.kind,
                            t.hasContext ? t.context.c_str() : nullptr);
    return std::u16string(buffer.data());
  }

  void CheckProgramText(const ProgramText& t) {
    const int64_t chosen = file_.ChosenLine(FromUtf8(KeyText(t.key)));
    const std::u16string shown = Shown(t);
    if (t.Translatable()) {
      ++report_.total;
      if (chosen < 0) {
        ++report_.missing;
      } else if (shown == t.source) {
        ++report_.same;
      } else {
        ++report_.translated;
      }
    }
    if (chosen < 0) {
      return;
    }
    const BodyLine& l = file_.lines[static_cast<size_t>(chosen)];
    const EntryShape e = ReadEntryShape(l);
    const uint32_t line = l.fileLine;
    if (e.closed && !e.escapedQuoteCloses && shown != e.intended) {
      const bool lastLine = l.offset + l.text.size() >= file_.catalog.Length();
      std::string why = lastLine && e.intended.size() > kLastLineValue
                            ? "the last line has no line break after it, and there the launcher "
                              "takes at most " +
                                  std::to_string(kLastLineValue) + " characters"
                            : "the launcher translates this text in a buffer of " +
                                  std::to_string(t.Capacity() - 1) + " characters";
      Add(Severity::kError, Finding::kValueCut, line,
          "the launcher shows only " + std::to_string(shown.size()) + " of the " +
              std::to_string(e.intended.size()) + " characters of this value: " + why);
    }
    switch (t.role) {
      case TextRole::kScale:
        CheckScale(t, shown, line);
        break;
      case TextRole::kDirection:
        if (shown != u"LTR" && shown != u"RTL") {
          Add(Severity::kWarning, Finding::kBadDirection, line,
              "the direction " + Quoted(shown) +
                  " means left to right: only RTL, in capitals, marks a language written right "
                  "to left (LTR says left to right)");
        }
        break;
      case TextRole::kImageName:
        if (shown != t.source) {
          Add(Severity::kWarning, Finding::kImageNameChanged, line,
              Quoted(t.source) +
                  " names the image its control shows; translated, the image may disappear");
        }
        break;
      default:
        CheckMeaning(t, shown, line);
    }
  }

  void CheckMeaning(const ProgramText& t, const std::u16string& shown, uint32_t line) {
    if (t.source.find(u"<a") != std::u16string::npos &&
        (shown.find(u"<a href=") == std::u16string::npos ||
         shown.find(u"</a>") == std::u16string::npos)) {
      Add(Severity::kWarning, Finding::kLinkMarkupLost, line,
          "the source is a link (<a href=\"...\">text</a>); without that markup the translation "
          "opens no page");
    }
    CheckLinkTargets(t, shown, line);
    if (t.role == TextRole::kString && t.id == kFirstStringId && shown != t.source) {
      const FileNameFault fault = FindFileNameFault(shown.c_str());
      if (fault != FileNameFault::kNone) {
        Add(Severity::kError, Finding::kInstallerNameRefused, line,
            "string 5101 " + Quoted(shown) +
                " is not a plain file name: " + DescribeFileNameFault(fault) +
                "; the launcher refuses it and looks for the installer under its built-in name");
      } else {
        Add(Severity::kWarning, Finding::kInstallerNameChanged, line,
            "string 5101 is the file name of the partner's installer: translated, the launcher "
            "looks for a file of that name instead");
        // Where the catalog will lie is not known here, so a note.
        Add(Severity::kNote, Finding::kInstallerNameBesideOnly, line,
            "the translated string 5101 counts only in a catalog beside the launcher; used from "
            "a language folder, the catalog's installer name is ignored for the built-in one");
      }
    }
  }

  // The launcher opens only web addresses: a link to anything else, or a
  // first-use page beginning with http:// or https:// that is no web address,
  // opens nothing.
  void CheckLinkTargets(const ProgramText& t, const std::u16string& shown, uint32_t line) {
    if (t.source.find(u"<a") != std::u16string::npos) {
      for (const std::u16string& target : LinkTargets(shown)) {
        if (!IsWebAddress(target.c_str())) {
          Add(Severity::kError, Finding::kLinkTargetRefused, line,
              "the link's target " + Quoted(target) +
                  " is not an http or https address (without blanks or quotes): the launcher "
                  "opens nothing for it");
        }
      }
    }
    if (t.role == TextRole::kString && t.id == IDS_FIRST_USE_URL && IsFirstUsePage(shown.c_str()) &&
        !IsWebAddress(shown.c_str())) {
      Add(Severity::kError, Finding::kLinkTargetRefused, line,
          "the first-use page " + Quoted(shown) +
              " is not a web address (without blanks or quotes): the launcher opens nothing");
    }
  }

  void CheckScale(const ProgramText& t, const std::u16string& shown, uint32_t line) {
    int32_t x = 100;
    int32_t y = 100;
    file_.catalog.GetDialogScale(t.context.c_str(), &x, &y);
    const size_t star = shown.find(u'*');
    const bool digitsOnly = [&] {
      if (star == std::u16string::npos || star == 0 || star + 1 == shown.size()) {
        return false;
      }
      for (size_t i = 0; i < shown.size(); ++i) {
        if (i != star && (shown[i] < u'0' || shown[i] > u'9')) {
          return false;
        }
      }
      return true;
    }();
    const std::string reading = std::to_string(x) + "*" + std::to_string(y);
    if (!digitsOnly) {
      Add(Severity::kError, Finding::kBadScale, line,
          "the scale of " + ToUtf8(t.context) + " is " + Quoted(shown) +
              ", not two numbers joined by an asterisk (such as 120*110); the launcher reads it "
              "as " +
              (star == std::u16string::npos ? "100*100, no scaling" : reading));
    } else if (x == 0 || y == 0) {
      Add(Severity::kError, Finding::kBadScale, line,
          "the scale of " + ToUtf8(t.context) + " is " + reading +
              ": a percentage of 0 shrinks the dialog to nothing");
    } else if (x > kLargeScale || y > kLargeScale) {
      Add(Severity::kWarning, Finding::kBadScale, line,
          "the scale of " + ToUtf8(t.context) + " is " + reading +
              ": more than four times the size will not fit a screen");
    }
  }

  // The information dialog joins strings 5103 to 5106, each with a blank,
  // in one buffer of 1024 units.
  void CheckInfoText() {
    size_t length = 0;
    uint32_t line = 0;
    for (const ProgramText& t : *texts_) {
      if (t.role != TextRole::kString || t.id < IDS_INFO_TEXT_FIRST || t.id > IDS_INFO_TEXT_LAST) {
        continue;
      }
      length += Shown(t).size() + 1;
      const int64_t chosen = file_.ChosenLine(FromUtf8(KeyText(t.key)));
      if (chosen >= 0) {
        line = file_.lines[static_cast<size_t>(chosen)].fileLine;
      }
    }
    if (length > kDialogTextCapacity - 1) {
      Add(Severity::kWarning, Finding::kInfoTextCut, line,
          "strings 5103 to 5106 with their blanks make " + std::to_string(length) +
              " characters; the information dialog shows only the first " +
              Grouped(kDialogTextCapacity - 1));
    }
  }

  const CatalogFile& file_;
  const std::vector<ProgramText>* texts_;
  const AnsiCodec& codec_;
  uint32_t codePage_;
  CheckReport report_;
  std::map<std::string, const ProgramText*> textsByKey_;
  std::map<std::string, std::string> wrongAs_;       // a wrong key: which text, formed how
  std::multimap<std::string, std::string> rightAs_;  // and how the launcher forms it
};
}  // namespace

bool CheckReport::HasErrors() const {
  for (const CheckFinding& f : findings) {
    if (f.severity == Severity::kError) {
      return true;
    }
  }
  return false;
}

size_t CheckReport::Count(Finding what) const {
  return static_cast<size_t>(std::count_if(
      findings.begin(), findings.end(), [what](const CheckFinding& f) { return f.what == what; }));
}

std::string CheckReport::Format(const std::string& fileName) const {
  std::vector<CheckFinding> sorted = findings;
  // By line, the file's own findings first and the coverage last.
  auto rank = [](const CheckFinding& f) {
    return f.what == Finding::kCoverage ? UINT32_MAX : f.line;
  };
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](const CheckFinding& a, const CheckFinding& b) { return rank(a) < rank(b); });
  std::string out;
  for (const CheckFinding& f : sorted) {
    const char* severity = f.severity == Severity::kError     ? "error"
                           : f.severity == Severity::kWarning ? "warning"
                                                              : "note";
    out += fileName + (f.line != 0 ? ":" + std::to_string(f.line) : std::string()) + ": " +
           severity + ": " + f.message + "\n";
  }
  return out;
}

CheckReport CheckCatalog(const CatalogFile& file, const std::vector<ProgramText>* texts,
                         const AnsiCodec& codec, uint32_t codePage) {
  return Checker(file, texts, codec, codePage).Run();
}

}  // namespace lngtool
