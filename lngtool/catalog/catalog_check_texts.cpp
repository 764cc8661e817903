#include "base/bounded_text.h"
#include "base/path_text.h"
#include "launcher/offer_text.h"
#include "lngtool/catalog/catalog_checker.h"
#include "localization/catalog_text.h"

namespace lngtool {
namespace {
constexpr int32_t kLargeScale = 400;

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
  Add(Severity::kNote, Finding::kCoverage, 0,
      "coverage: " + std::to_string(report_.translated) + " of " + std::to_string(report_.total) +
          " texts translated (" + std::to_string(report_.same) + " as in English, " +
          std::to_string(report_.missing) + " missing)");
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

void CatalogChecker::CheckMeaning(const ProgramText& t, const std::u16string& shown,
                                  uint32_t line) {
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
void CatalogChecker::CheckLinkTargets(const ProgramText& t, const std::u16string& shown,
                                      uint32_t line) {
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
