#include "base/bounded_text.h"
#include "base/path_text.h"
#include "launcher/offer_text.h"
#include "lngtool/catalog/catalog_checker.h"
#include "lngtool/catalog/link_markup.h"
#include "lngtool/catalog/translation_state.h"
#include "localization/catalog_text.h"

namespace lngtool {
namespace {
constexpr int32_t kLargeScale = 400;

const char* DescribeFileNameFault(FileNameFault fault) {
  static const struct {
    FileNameFault fault;
    const char* text;
  } kTexts[] = {
      {FileNameFault::kEmpty, "it is empty"},
      {FileNameFault::kDotName, "it names a folder (\".\" or \"..\")"},
      {FileNameFault::kFolderPart,
       "it holds a folder, drive or stream part (a backslash, slash or colon)"},
      {FileNameFault::kRefusedChar, "it holds a control character or one of * ? \" < > |"},
      {FileNameFault::kTrailingDotOrBlank, "it ends in a dot or blank, which Windows drops"},
      {FileNameFault::kDeviceName, "it is a device name such as NUL or COM1"},
  };
  for (const auto& row : kTexts) {
    if (row.fault == fault) return row.text;
  }
  return "";
}

constexpr uint32_t kStaticNoPrefix = 0x80;  // SS_NOPREFIX
constexpr uint32_t kLinkNoPrefix = 0x4;     // LWS_NOPREFIX

bool IsLinkControl(const ProgramText& t) {
  std::u16string upper = t.className;
  for (char16_t& c : upper) {
    c = UpperCaseChar(c);
  }
  return (t.role == TextRole::kControl && upper == u"SYSLINK") ||
         t.source.find(u"<a") != std::u16string::npos;
}
}  // namespace

void CatalogChecker::IndexTexts() {
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

std::string CatalogChecker::WrongKeyHint(const std::string& key) const {
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

void CatalogChecker::CheckProgramTexts() {
  for (const ProgramText& t : *texts_) {
    CheckProgramText(t);
  }
  CheckInfoText();
  CheckSameAccessKeys();
  CountCoverage();
}

// As export counts: one message per key, the same answer to what is done.
void CatalogChecker::CountCoverage() {
  const TranslationTally tally = CountTranslations(file_, *texts_);
  report_.translated = tally.translated;
  report_.fuzzy = tally.fuzzy;
  report_.untranslated = tally.untranslated;
  report_.total = tally.translated + tally.fuzzy + tally.untranslated;
  std::set<uint32_t> seen;
  for (const ProgramText& t : *texts_) {
    if (seen.insert(t.key).second && file_.ChosenLine(FromUtf8(KeyText(t.key))) < 0) {
      ++report_.missing;
    }
  }
  std::string message = "coverage: " + std::to_string(report_.translated) + " of " +
                        std::to_string(report_.total) + " texts translated";
  if (report_.fuzzy != 0) {
    message += ", " + std::to_string(report_.fuzzy) + " fuzzy";
  }
  if (report_.untranslated != 0) {
    message += ", " + std::to_string(report_.untranslated) + " untranslated";
    if (report_.missing != 0) {
      message += " (" + std::to_string(report_.missing) + " without an entry)";
    }
  }
  Add(Severity::kNote, Finding::kCoverage, 0, message);
}

// What the launcher shows for t: its own lookup, in its own buffer size.
std::u16string CatalogChecker::Shown(const ProgramText& t) const {
  std::vector<char16_t> buffer(t.Capacity(), 0);
  file_.catalog.Translate(t.source.c_str(), buffer.data(), buffer.size(), t.kind,
                          t.hasContext ? t.context.c_str() : nullptr);
  return std::u16string(buffer.data());
}

void CatalogChecker::CheckProgramText(const ProgramText& t) {
  const int64_t chosen = file_.ChosenLine(FromUtf8(KeyText(t.key)));
  const std::u16string shown = Shown(t);
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

void CatalogChecker::CheckMeaning(const ProgramText& t, const std::u16string& shown,
                                  uint32_t line) {
  CheckLinks(t, shown, line);
  const bool isString = t.role == TextRole::kString;
  if (isString && t.id == IDS_FIRST_USE_URL) {
    CheckFirstUsePage(shown, line);
  } else if (isString && t.id == kFirstStringId && shown != t.source) {
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
  } else if (!isString || t.id != kFirstStringId) {
    CheckAgainstEnglish(t, shown, line);
  }
}

// Markup the link control cannot read shows as text and opens nothing; the
// launcher opens only web addresses, so a link to anything else opens
// nothing either.
void CatalogChecker::CheckLinks(const ProgramText& t, const std::u16string& shown, uint32_t line) {
  if (!IsLinkControl(t) || shown == t.source) {
    return;
  }
  const LinkMarkup english = ReadLinkMarkup(t.source);
  const LinkMarkup translated = ReadLinkMarkup(shown);
  if (!translated.fault.empty()) {
    Add(Severity::kError, Finding::kLinkMarkupBroken, line,
        "the link markup does not read: " + translated.fault);
  } else if (translated.targets.size() < english.targets.size()) {
    Add(Severity::kError, Finding::kLinkMarkupLost, line,
        "the source is a link (<a href=\"...\">text</a>); the translation has " +
            std::to_string(translated.targets.size()) + " of its " +
            std::to_string(english.targets.size()) + " and opens no page for the others");
  }
  for (size_t i = 0; i < translated.targets.size(); ++i) {
    const std::u16string& target = translated.targets[i];
    if (!IsWebAddress(target.c_str())) {
      Add(Severity::kError, Finding::kLinkTargetRefused, line,
          "the link's target " + Quoted(target) +
              " is not an http or https address (without blanks or quotes): the launcher "
              "opens nothing for it");
    } else if (i >= english.targets.size()) {
      Add(Severity::kWarning, Finding::kLinkTargetChanged, line,
          "a link to " + Quoted(target) + ", which the English does not have");
    } else if (target != english.targets[i]) {
      Add(Severity::kWarning, Finding::kLinkTargetChanged, line,
          "the link opens " + Quoted(target) + " instead of the English's " +
              Quoted(english.targets[i]) + "; is it the same page in this language?");
    }
  }
}

// A first-use page beginning with http:// or https:// that is no web
// address opens nothing.
void CatalogChecker::CheckFirstUsePage(const std::u16string& shown, uint32_t line) {
  if (IsFirstUsePage(shown.c_str()) && !IsWebAddress(shown.c_str())) {
    Add(Severity::kError, Finding::kLinkTargetRefused, line,
        "the first-use page " + Quoted(shown) +
            " is not a web address (without blanks or quotes): the launcher opens nothing");
  }
}

// Buttons take '&' as an access key; statics and links unless their style
// says otherwise. Strings 5103 to 5106 are shown in the information
// dialog's static text, which takes them.
bool CatalogChecker::ShowsAccessKeys(const ProgramText& t) const {
  if (t.role == TextRole::kString) {
    return t.id >= IDS_INFO_TEXT_FIRST && t.id <= IDS_INFO_TEXT_LAST;
  }
  if (t.role != TextRole::kControl) {
    return false;
  }
  std::u16string upper = t.className;
  for (char16_t& c : upper) {
    c = UpperCaseChar(c);
  }
  if (upper == u"BUTTON") {
    return true;
  }
  if (upper == u"STATIC") {
    return (t.style & kStaticNoPrefix) == 0;
  }
  return upper == u"SYSLINK" && (t.style & kLinkNoPrefix) == 0;
}

void CatalogChecker::CheckAgainstEnglish(const ProgramText& t, const std::u16string& shown,
                                         uint32_t line) {
  TextPlace place;
  place.accessKeys = ShowsAccessKeys(t);
  place.productNames = &options_.productNames;
  for (const TextFault& fault : CompareWithEnglish(t.source, shown, place)) {
    Add(Severity::kWarning, FindingOfCheck(fault.check), line, fault.message);
  }
}

// Of two controls of one dialog with the same access key, Windows reaches
// only the first.
void CatalogChecker::CheckSameAccessKeys() {
  struct Keyed {
    const ProgramText* text;
    char16_t key;
    uint32_t line;
  };
  std::map<std::u16string, std::vector<Keyed>> byDialog;
  for (const ProgramText& t : *texts_) {
    const int64_t chosen = file_.ChosenLine(FromUtf8(KeyText(t.key)));
    const char16_t key = chosen >= 0 && ShowsAccessKeys(t) ? AccessKey(Shown(t)) : 0;
    if (key == 0) {
      continue;
    }
    const std::u16string dialog = t.role == TextRole::kString ? kDialogNames[1] : t.context;
    std::vector<Keyed>& keyed = byDialog[dialog];
    const uint32_t line = file_.lines[static_cast<size_t>(chosen)].fileLine;
    for (const Keyed& other : keyed) {
      if (other.key == key && other.text->key != t.key &&
          (AccessKey(t.source) != key || AccessKey(other.text->source) != key)) {
        Add(Severity::kWarning, Finding::kSameAccessKey, line,
            "the access key &" + ToUtf8(std::u16string(1, key)) + " is also that of line " +
                std::to_string(other.line) + " in " + ToUtf8(dialog) +
                ": Windows reaches only one of them");
        break;
      }
    }
    keyed.push_back({&t, key, line});
  }
}

void CatalogChecker::CheckScale(const ProgramText& t, const std::u16string& shown, uint32_t line) {
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
void CatalogChecker::CheckInfoText() {
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

}  // namespace lngtool
