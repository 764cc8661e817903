#include "lngtool/render/layout_findings.h"

#include <algorithm>
#include <cstdio>

#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {
std::string Size(const Extent& e) { return std::to_string(e.cx) + " x " + std::to_string(e.cy); }

std::string Excerpt(const std::u16string& text) {
  constexpr size_t kMost = 40;
  return Quoted(text.size() > kMost ? text.substr(0, kMost) + u"..." : text);
}

bool Cut(const ControlLayout& c) {
  return c.measured && (c.needs.cx > c.has.cx || c.needs.cy > c.has.cy);
}

bool Outside(const LayoutRect& b, const Extent& client) {
  return b.left < 0 || b.top < 0 || b.right > client.cx || b.bottom > client.cy;
}

bool Empty(const LayoutRect& b) { return b.right <= b.left || b.bottom <= b.top; }

// A wrapped text whose every line fits but which needs more of them: told in
// lines, so that the fix (a taller control) is plain.
bool ShortOfLines(const ControlLayout& c) {
  return c.wraps && c.lineHeight > 0 && c.needs.cx <= c.has.cx && c.needs.cy > c.has.cy;
}

std::string Plural(int32_t n, const char* one) {
  return std::to_string(n) + " " + one + (n == 1 ? "" : "s");
}

// "is 21 pixels too wide", "is 3 pixels too tall", or both: what is missing,
// in the one unit.
std::string TooLarge(const Extent& needs, const Extent& has) {
  std::string what;
  if (needs.cx > has.cx) {
    what = Plural(needs.cx - has.cx, "pixel") + " too wide";
  }
  if (needs.cy > has.cy) {
    what += (what.empty() ? "" : " and ") + Plural(needs.cy - has.cy, "pixel") + " too tall";
  }
  return "is " + what;
}

LayoutFinding CutControl(const ControlLayout& c, size_t i) {
  LayoutFinding f{FindingKind::kCut, i, i, "cut: " + ControlName(c) + " " + Excerpt(c.shown)};
  if (ShortOfLines(c)) {
    // A wider control takes the words back onto fewer lines as well as a
    // taller one shows them all.
    const int32_t needed = (c.needs.cy + c.lineHeight - 1) / c.lineHeight;
    const int32_t has = c.has.cy / c.lineHeight;
    f.what += " needs " + Plural(needed, "line") + " of " + std::to_string(c.has.cx) +
              " pixels, the control shows " + Plural(has, "line");
    f.wider = true;
    f.taller = true;
    return f;
  }
  f.what += " " + TooLarge(c.needs, c.has);
  f.wider = c.needs.cx > c.has.cx;
  f.taller = c.needs.cy > c.has.cy;
  return f;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }

// "U+4E2D, U+6587"; a pair of surrogates as the one character it stands for.
std::string CodePoints(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    out += (out.empty() ? "" : ", ") + std::string(code);
  }
  return out;
}

LayoutFinding Unshown(const ControlLayout& c, size_t i, const std::string& what) {
  return {FindingKind::kMissingGlyph, i, i,
          "missing-glyph: " + what + " " + Excerpt(c.shown) + ": no font shows " +
              CodePoints(c.unshown) + " " + Quoted(c.unshown)};
}
}  // namespace

void MissingGlyphs::Add(const std::u16string& unshown) {
  if (unshown.empty()) {
    return;
  }
  ++texts;
  for (size_t i = 0; i < unshown.size(); ++i) {
    const bool pair = IsHighSurrogate(unshown[i]) && i + 1 < unshown.size();
    const std::u16string c = unshown.substr(i, pair ? 2 : 1);
    i += pair ? 1 : 0;
    if (characters.find(c) == std::u16string::npos) {
      characters += c;
    }
  }
}

std::string SuggestedLocale(const std::string& tag, const std::u16string& characters) {
  auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
  const bool language =
      tag.size() >= 2 && lower(tag[0]) && lower(tag[1]) && (tag.size() == 2 || tag[2] == '-');
  // The region among the subtags (zh-Hant-TW): two capitals.
  for (size_t at = 2; language && at + 3 <= tag.size(); at = tag.find('-', at + 1)) {
    if (at == std::string::npos) {
      break;
    }
    if (upper(tag[at + 1]) && upper(tag[at + 2]) && (at + 3 == tag.size() || tag[at + 3] == '-')) {
      return tag.substr(0, 2) + "-" + tag.substr(at + 1, 2);
    }
  }
  // Where a language's usual region is not its own code in capitals.
  static const char* const kRegions[][2] = {{"ar", "SA"}, {"cs", "CZ"}, {"da", "DK"}, {"el", "GR"},
                                            {"en", "US"}, {"et", "EE"}, {"fa", "IR"}, {"he", "IL"},
                                            {"hi", "IN"}, {"hy", "AM"}, {"ja", "JP"}, {"ka", "GE"},
                                            {"ko", "KR"}, {"nb", "NO"}, {"sl", "SI"}, {"sr", "RS"},
                                            {"sv", "SE"}, {"uk", "UA"}, {"vi", "VN"}, {"zh", "CN"}};
  if (language) {
    for (const auto& r : kRegions) {
      if (tag.compare(0, 2, r[0]) == 0) {
        return tag.substr(0, 2) + "-" + r[1];
      }
    }
    return tag.substr(0, 2) + "-" +
           std::string{static_cast<char>(tag[0] - 32), static_cast<char>(tag[1] - 32)};
  }
  // Kana or Hangul tell Japanese or Korean from Chinese, which shares the
  // ideographs: the most telling script found wins.
  struct Script {
    char16_t first;
    char16_t last;
    const char* locale;
  };
  static const Script kScripts[] = {
      {0x3040, 0x30FF, "ja-JP"}, {0xAC00, 0xD7AF, "ko-KR"}, {0x1100, 0x11FF, "ko-KR"},
      {0x3130, 0x318F, "ko-KR"}, {0x4E00, 0x9FFF, "zh-CN"}, {0x3400, 0x4DBF, "zh-CN"},
      {0x0590, 0x05FF, "he-IL"}, {0x0600, 0x06FF, "ar-SA"}, {0x0E00, 0x0E7F, "th-TH"},
      {0x0900, 0x097F, "hi-IN"}, {0x0530, 0x058F, "hy-AM"}, {0x10A0, 0x10FF, "ka-GE"},
      {0x0400, 0x04FF, "ru-RU"}, {0x0370, 0x03FF, "el-GR"}};
  for (const Script& script : kScripts) {
    for (char16_t c : characters) {
      if (c >= script.first && c <= script.last) {
        return script.locale;
      }
    }
  }
  return "";
}

std::string MissingGlyphsText(const MissingGlyphs& glyphs, const std::string& suggested,
                              const std::string& sessionLocale) {
  size_t count = 0;
  for (size_t i = 0; i < glyphs.characters.size(); ++i) {
    count += IsHighSurrogate(glyphs.characters[i]) ? 0 : 1;
  }
  std::string text = "missing-glyph: no font shows " + std::to_string(count) +
                     (count == 1 ? " character" : " characters") + ", in " +
                     std::to_string(glyphs.texts) + (glyphs.texts == 1 ? " text: " : " texts: ") +
                     CodePoints(glyphs.characters) + " " + Quoted(glyphs.characters) + "; ";
  if (suggested.empty()) {
    return text + "check it in the language's own locale (tools/lngtool-layout --locale)";
  }
  if (suggested == sessionLocale) {
    return text + "not even in the locale " + suggested + ": the system lacks a font for them";
  }
  return text + "check it in the language's own locale: tools/lngtool-layout --locale " + suggested;
}

bool Growable(const LayoutFinding& finding) { return finding.kind != FindingKind::kMissingGlyph; }

void NeededGrowth(const std::vector<LayoutFinding>& findings, bool* wider, bool* taller) {
  for (const LayoutFinding& f : findings) {
    *wider = *wider || f.wider;
    *taller = *taller || f.taller;
  }
}

bool Intersects(const LayoutRect& a, const LayoutRect& b) {
  return !Empty(a) && !Empty(b) && a.left < b.right && b.left < a.right && a.top < b.bottom &&
         b.top < a.bottom;
}

void OutlineBox(std::vector<uint8_t>* rgb, uint32_t width, uint32_t height, const LayoutRect& box) {
  constexpr int64_t kThickness = 2;
  auto paint = [&](int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
      return;
    }
    const size_t at = (static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 3;
    if (at + 2 < rgb->size()) {
      (*rgb)[at] = 255;
      (*rgb)[at + 1] = 0;
      (*rgb)[at + 2] = 0;
    }
  };
  const int64_t left = static_cast<int64_t>(box.left) - kThickness;
  const int64_t top = static_cast<int64_t>(box.top) - kThickness;
  const int64_t right = static_cast<int64_t>(box.right) + kThickness;
  const int64_t bottom = static_cast<int64_t>(box.bottom) + kThickness;
  for (int64_t y = std::max<int64_t>(top, 0); y < bottom && y < height; ++y) {
    for (int64_t x = std::max<int64_t>(left, 0); x < right && x < width; ++x) {
      const bool frame = x < box.left || x >= box.right || y < box.top || y >= box.bottom;
      if (frame) {
        paint(x, y);
      }
    }
  }
}

std::string ControlName(const ControlLayout& control) {
  return "control " + std::to_string(control.id) + " (" + control.className + ")";
}

std::vector<LayoutFinding> FindLayoutProblems(const DialogLayout& english,
                                              const DialogLayout& shown) {
  std::vector<LayoutFinding> found;
  if (Cut(shown.title)) {
    found.push_back({FindingKind::kCut, kTitleFinding, kTitleFinding,
                     "cut: title " + Excerpt(shown.title.shown) + " " +
                         TooLarge({shown.title.needs.cx, 0}, {shown.title.has.cx, 0}),
                     true, false});
  }
  if (!shown.title.unshown.empty()) {
    found.push_back(Unshown(shown.title, kTitleFinding, "title"));
  }
  const std::vector<ControlLayout>& c = shown.controls;
  for (size_t i = 0; i < c.size(); ++i) {
    if (!c[i].unshown.empty()) {
      found.push_back(Unshown(c[i], i, ControlName(c[i])));
    }
    if (Cut(c[i])) {
      found.push_back(CutControl(c[i], i));
    }
    if (Outside(c[i].place, shown.client)) {
      const LayoutRect& b = c[i].place;
      found.push_back({FindingKind::kOutside, i, i,
                       "outside: " + ControlName(c[i]) +
                           (c[i].shown.empty() ? "" : " " + Excerpt(c[i].shown)) + " spans " +
                           std::to_string(b.left) + "," + std::to_string(b.top) + " to " +
                           std::to_string(b.right) + "," + std::to_string(b.bottom) +
                           ", the client area " + Size(shown.client),
                       true, true});
    }
  }
  // Pairs are compared only where the English dialog has the same controls.
  if (english.controls.size() != c.size()) {
    return found;
  }
  for (size_t i = 0; i < c.size(); ++i) {
    for (size_t j = i + 1; j < c.size(); ++j) {
      if (Intersects(c[i].place, c[j].place) &&
          !Intersects(english.controls[i].place, english.controls[j].place)) {
        found.push_back({FindingKind::kOverlap, i, j,
                         "overlap: " + ControlName(c[i]) + " and " + ControlName(c[j]), true,
                         true});
      }
    }
  }
  return found;
}

}  // namespace lngtool
