#include "lngtool/catalog/pseudo_translation.h"

#include "base/bounded_text.h"

namespace lngtool {
namespace {
// Look-alikes from Latin-1 and Latin Extended-A/B, which the dialog fonts hold.
const char16_t kLower[27] =
    u"\u00e1\u0180\u00e7\u010f\u00e9\u0192\u011d\u0125\u00ed\u0135"
    u"\u0137\u013a\u0271\u00f1\u00f6\u00fe\u01eb\u0155\u0161\u0165"
    u"\u00fc\u028b\u0175\u0445\u00fd\u017e";
const char16_t kUpper[27] =
    u"\u00c1\u0181\u00c7\u010e\u00c9\u0191\u011c\u0124\u00cd\u0134"
    u"\u0136\u0139\u019c\u00d1\u00d6\u00de\u01ea\u0154\u0160\u0164"
    u"\u00dc\u01b2\u0174\u03a7\u00dd\u017d";
// Hebrew letters, one for each Latin letter.
constexpr char16_t kHebrewFirst = 0x05D0;

// Filler that wraps as words do.
const char16_t kFiller[] =
    u" \u013a\u00f6\u0155\u00e9\u0271 \u00ed\u00fe\u0161\u00fc\u0271"
    u" \u010f\u00f6\u013a\u00f6\u0155 \u0161\u00ed\u0165";
const char16_t kHebrewFiller[] =
    u" \u05dc\u05d5\u05e8\u05dd \u05d0\u05d9\u05e4\u05e1"
    u" \u05d3\u05d5\u05dc\u05e8 \u05e1\u05d8";

char16_t MapLetter(char16_t c, bool rightToLeft) {
  const bool lower = c >= u'a' && c <= u'z';
  const bool upper = c >= u'A' && c <= u'Z';
  if (!lower && !upper) {
    return c;
  }
  const int n = lower ? c - u'a' : c - u'A';
  if (rightToLeft) {
    return static_cast<char16_t>(kHebrewFirst + n);
  }
  return lower ? kLower[n] : kUpper[n];
}

bool StartsWith(const std::u16string& text, size_t at, const char16_t* prefix) {
  for (size_t i = 0; prefix[i] != 0; ++i) {
    const char16_t c = at + i < text.size() ? text[at + i] : u'\0';
    const char16_t lowered = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    if (lowered != prefix[i]) {
      return false;
    }
  }
  return true;
}

// The length of the link tag at `at`, or 0: SysLink markup, which must reach
// the control unchanged.
size_t TagLength(const std::u16string& text, size_t at) {
  if (!StartsWith(text, at, u"<a ") && !StartsWith(text, at, u"<a>") &&
      !StartsWith(text, at, u"</a>")) {
    return 0;
  }
  const size_t end = text.find(u'>', at);
  return end == std::u16string::npos ? 0 : end - at + 1;
}

size_t GrowthPercent(size_t visible, int expandPercent) {
  if (expandPercent >= 0) {
    return static_cast<size_t>(expandPercent);
  }
  return visible <= 10 ? 100 : visible <= 20 ? 50 : 30;
}

bool IsAddress(const std::u16string& text) {
  return StartsWith(text, 0, u"http://") || StartsWith(text, 0, u"https://");
}
}  // namespace

std::u16string PseudoText(const std::u16string& text, const PseudoOptions& options,
                          size_t capacity) {
  std::u16string body;
  size_t visible = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t tag = TagLength(text, i);
    if (tag != 0) {
      body.append(text, i, tag);
      i += tag;
      continue;
    }
    const char16_t c = text[i++];
    visible += c >= u' ' ? 1 : 0;
    body.push_back(MapLetter(c, options.rightToLeft));
  }
  const std::u16string filler = options.rightToLeft ? kHebrewFiller : kFiller;
  size_t grow = (visible * GrowthPercent(visible, options.expandPercent) + 99) / 100;
  // The brackets count toward the growth; the result must still fit the
  // launcher's buffer, or its end would be cut by the launcher itself.
  grow = grow > 2 ? grow - 2 : 0;
  const size_t room = capacity > body.size() + 3 ? capacity - body.size() - 3 : 0;
  grow = grow < room ? grow : room;
  std::u16string padding;
  while (padding.size() < grow) {
    padding += filler;
  }
  padding.resize(grow);
  std::u16string out = u"[" + body + padding + u"]";
  if (out.size() >= capacity) {
    out = text;
  }
  return out;
}

std::vector<CatalogEntry> PseudoEntries(const std::vector<ProgramText>& texts,
                                        const PseudoOptions& options) {
  std::vector<CatalogEntry> entries;
  for (const ProgramText& t : texts) {
    std::u16string value = DefaultValue(t);
    const bool fileName = t.role == TextRole::kString && t.id == kFirstStringId;
    if (t.role == TextRole::kDirection) {
      value = options.rightToLeft ? u"RTL" : u"LTR";
    } else if (t.Translatable() && !fileName && !IsAddress(t.source) && !t.source.empty()) {
      value = PseudoText(t.source, options, t.Capacity());
    }
    entries.push_back({t, value});
  }
  return entries;
}

}  // namespace lngtool
