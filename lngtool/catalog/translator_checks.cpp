#include "lngtool/catalog/translator_checks.h"

#include "base/bounded_text.h"
#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

// Blanks as a translator types them: space, tab, the no-break and the
// typographic spaces, the ideographic space.
bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == 0x00A0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
         c == 0x3000;
}

// The whitespace at one end: its line breaks (CR LF counted once) and
// whether it holds a blank.
struct Edge {
  size_t breaks = 0;
  bool blank = false;
};

Edge LeadingEdge(const std::u16string& s) {
  Edge e;
  for (size_t i = 0; i < s.size() && (IsBlank(s[i]) || IsLineBreak(s[i])); ++i) {
    e.blank = e.blank || IsBlank(s[i]);
    e.breaks += s[i] == u'\n' || (s[i] == u'\r' && (i + 1 == s.size() || s[i + 1] != u'\n'));
  }
  return e;
}

Edge TrailingEdge(const std::u16string& s) {
  Edge e;
  for (size_t i = s.size(); i > 0 && (IsBlank(s[i - 1]) || IsLineBreak(s[i - 1])); --i) {
    const char16_t c = s[i - 1];
    e.blank = e.blank || IsBlank(c);
    e.breaks += c == u'\r' || (c == u'\n' && (i < 2 || s[i - 2] != u'\r'));
  }
  return e;
}

size_t DoubledBlanks(const std::u16string& s) {
  size_t count = 0;
  for (size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] == u' ' && s[i + 1] == u' ') {
      ++count;
      ++i;
    }
  }
  return count;
}

// Full stops, question and exclamation marks and colons of the scripts a
// translation may be in: Latin and Greek (";" is its question mark), CJK
// full width, Arabic and Urdu, Devanagari, Armenian, Ethiopic, Myanmar,
// Khmer, Tibetan.
constexpr char16_t kEndMarks[] =
    u".!?:\u2026;\u037E\u3002\uFF01\uFF1F\uFF1A\uFF0E\uFF61\u06D4"
    u"\u061F\u0964\u0965\u0589\u055C\u055E\u1362\u1367\u1368\u104B"
    u"\u17D4\u17D5\u0F0D\u203C\u2047\u2048\u2049";
// What may follow the mark: closing quotes and brackets.
constexpr char16_t kClosers[] =
    u"\"')]}\u2018\u2019\u201C\u201D\u00BB\u00AB\u203A\u2039\u300D\u300F\uFF09";

bool IsOneOf(char16_t c, const char16_t* set) {
  for (; *set != 0; ++set) {
    if (*set == c) return true;
  }
  return false;
}

// Where the text ends before trailing whitespace and closers.
size_t MarkEnd(const std::u16string& s) {
  size_t i = s.size();
  while (i > 0 && (IsBlank(s[i - 1]) || IsLineBreak(s[i - 1]) || IsOneOf(s[i - 1], kClosers))) {
    --i;
  }
  return i;
}

// The last character before trailing whitespace and closers, or 0.
char16_t EndingMark(const std::u16string& s) {
  const size_t end = MarkEnd(s);
  return end > 0 ? s[end - 1] : 0;
}

// English ends a sentence or a label with . ! ? : or an ellipsis.
bool EndsWithMark(const std::u16string& english) {
  const char16_t c = EndingMark(english);
  return c == u'.' || c == u'!' || c == u'?' || c == u':' || c == 0x2026;
}

size_t AccessKeyCount(const std::u16string& s) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&') {
      if (i + 1 < s.size() && s[i + 1] == u'&') {
        ++i;
      } else {
        ++count;
      }
    }
  }
  return count;
}

std::string LineBreaks(size_t n) {
  return n == 0 ? "none" : std::to_string(n) + (n == 1 ? " line break" : " line breaks");
}

void CompareEdges(const std::u16string& english, const std::u16string& translation,
                  std::vector<TextFault>* faults) {
  const Edge enStart = LeadingEdge(english);
  const Edge trStart = LeadingEdge(translation);
  const Edge enEnd = TrailingEdge(english);
  const Edge trEnd = TrailingEdge(translation);
  if (enStart.breaks != trStart.breaks || enEnd.breaks != trEnd.breaks) {
    const bool start = enStart.breaks != trStart.breaks;
    faults->push_back({"newlines", std::string("the English ") + (start ? "begins" : "ends") +
                                       " with " +
                                       LineBreaks(start ? enStart.breaks : enEnd.breaks) +
                                       " (\\r\\n), the translation with " +
                                       LineBreaks(start ? trStart.breaks : trEnd.breaks)});
  }
  if (enStart.blank != trStart.blank) {
    faults->push_back({"startwhitespace", trStart.blank
                                              ? "the translation begins with a blank; the "
                                                "English does not"
                                              : "the English begins with a blank; the "
                                                "translation does not"});
  }
  if (enEnd.blank != trEnd.blank) {
    faults->push_back({"endwhitespace", trEnd.blank ? "the translation ends with a blank; the "
                                                      "English does not"
                                                    : "the English ends with a blank; the "
                                                      "translation does not"});
  }
  if (DoubledBlanks(translation) > DoubledBlanks(english)) {
    faults->push_back({"doublespacing", "the translation has a doubled blank"});
  }
}

void CompareAccessKeys(const std::u16string& english, const std::u16string& translation,
                       std::vector<TextFault>* faults) {
  const size_t inEnglish = AccessKeyCount(english);
  const size_t inTranslation = AccessKeyCount(translation);
  if (inEnglish == inTranslation) {
    return;
  }
  std::string message;
  if (inEnglish == 0) {
    message =
        "a single & marks an access key here: Windows underlines the next character and "
        "shows no &; write && for an ampersand";
  } else if (inTranslation == 0) {
    message = "the English gives the access key &" + ToUtf8(std::u16string(1, AccessKey(english))) +
              "; the translation gives none";
  } else {
    message = "the translation has " + std::to_string(inTranslation) +
              " single & (access keys); a control takes one (write && for an ampersand)";
  }
  faults->push_back({"accelerators", message});
}
}  // namespace

const std::vector<TranslatorCheck>& TranslatorChecks() {
  static const std::vector<TranslatorCheck> kChecks = {
      {"newlines", "line breaks (\\r\\n) at the start or end, other than the English's"},
      {"startwhitespace", "a blank at the start added or lost"},
      {"endwhitespace", "a blank at the end added or lost"},
      {"doublespacing", "a doubled blank"},
      {"endpunc", "the English's ending . ! ? : or ... dropped"},
      {"accelerators", "a single & (an access key) added or lost"},
      {"sameaccelerator", "two controls of a dialog with one access key"},
      {"names", "a product name of the English missing"},
      {"urls", "a link's web address changed"},
  };
  return kChecks;
}

bool IsTranslatorCheck(const std::string& name) {
  for (const TranslatorCheck& c : TranslatorChecks()) {
    if (name == c.name) return true;
  }
  return false;
}

std::vector<std::u16string> DefaultProductNames() { return {u"Zentak", u"Baidu Antivirus"}; }

std::vector<TextFault> CompareWithEnglish(const std::u16string& english,
                                          const std::u16string& translation,
                                          const TextPlace& place) {
  std::vector<TextFault> faults;
  if (english == translation) {
    return faults;
  }
  CompareEdges(english, translation, &faults);
  if (EndsWithMark(english) && !IsOneOf(EndingMark(translation), kEndMarks)) {
    const size_t end = MarkEnd(english);
    const bool ellipsis = end >= 3 && english.compare(end - 3, 3, u"...") == 0;
    faults.push_back({"endpunc", "the English ends with " +
                                     (ellipsis ? std::string("...") : ToUtf8({english[end - 1]})) +
                                     ", the translation with no ending mark"});
  }
  if (place.accessKeys) {
    CompareAccessKeys(english, translation, &faults);
  }
  if (place.productNames != nullptr) {
    for (const std::u16string& name : *place.productNames) {
      if (!name.empty() && english.find(name) != std::u16string::npos &&
          translation.find(name) == std::u16string::npos) {
        faults.push_back({"names", "the English names " + Quoted(name) +
                                       ", the translation does not: keep product names as "
                                       "they are"});
      }
    }
  }
  return faults;
}

char16_t AccessKey(const std::u16string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'&') {
      if (text[i + 1] != u'&') {
        return UpperCaseChar(text[i + 1]);
      }
      ++i;
    }
  }
  return 0;
}

}  // namespace lngtool
