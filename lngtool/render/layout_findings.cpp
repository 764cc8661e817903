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

LayoutFinding CutControl(const ControlLayout& c, size_t i) {
  LayoutFinding f{FindingKind::kCut, i, i, "cut: " + ControlName(c) + " " + Excerpt(c.shown)};
  if (ShortOfLines(c)) {
    const int32_t needed = (c.needs.cy + c.lineHeight - 1) / c.lineHeight;
    const int32_t has = c.has.cy / c.lineHeight;
    f.what += " needs " + std::to_string(needed) + " lines, has " + std::to_string(has) + " (" +
              std::to_string(c.needs.cx) + " of " + std::to_string(c.has.cx) + " pixels wide)";
    f.taller = true;
    return f;
  }
  f.what += " needs " + Size(c.needs) + " pixels, has " + Size(c.has);
  f.wider = c.needs.cx > c.has.cx;
  f.taller = c.needs.cy > c.has.cy;
  return f;
}

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
                     "cut: title " + Excerpt(shown.title.shown) + " needs " +
                         std::to_string(shown.title.needs.cx) + " pixels, has " +
                         std::to_string(shown.title.has.cx),
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
