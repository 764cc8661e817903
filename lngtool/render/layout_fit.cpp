#include "lngtool/render/layout_fit.h"

#include <algorithm>

#include "base/byte_order.h"
#include "lngtool/catalog/catalog_file.h"
#include "lngtool/catalog/catalog_writer.h"
#include "lngtool/io/text_form.h"
#include "lngtool/render/dialog_layout_check.h"
#include "localization/catalog_text.h"
#include "localization/message_catalog.h"

namespace lngtool {
namespace {
// The file as units of its form: bytes, or UTF-16 little-endian pairs from
// the marker's parity on.
struct Units {
  const std::vector<uint8_t>& bytes;
  size_t width;
  size_t first;
  size_t Count() const { return bytes.size() < first ? 0 : (bytes.size() - first) / width; }
  uint16_t At(size_t i) const {
    const size_t at = first + i * width;
    return width == 1 ? bytes[at] : ReadLittleEndian16(&bytes[at]);
  }
  size_t ByteOffset(size_t i) const { return first + i * width; }
};

// The unit where the line's text begins, counted as the catalog's tracing
// counts lines and columns; npos past the end.
size_t UnitOfLine(const Units& u, uint32_t line, uint32_t column) {
  uint32_t l = 1;
  uint32_t c = 1;
  for (size_t i = 0; i < u.Count(); ++i) {
    if (l == line && c == column) {
      return i;
    }
    const uint16_t unit = u.At(i);
    const bool crBeforeLf = unit == 0x0D && i + 1 < u.Count() && u.At(i + 1) == 0x0A;
    if (unit == 0x0A || (unit == 0x0D && !crBeforeLf)) {
      ++l;
      c = 1;
    } else if (!crBeforeLf) {
      ++c;
    }
  }
  return l == line && c == column ? u.Count() : std::u16string::npos;
}

bool KeyAt(const Units& u, size_t at, const std::u16string& key) {
  if (at == std::u16string::npos || at + key.size() > u.Count()) {
    return false;
  }
  for (size_t i = 0; i < key.size(); ++i) {
    uint16_t c = u.At(at + i);
    c = c >= 'A' && c <= 'F' ? static_cast<uint16_t>(c + 32) : c;
    if (c != key[i]) {
      return false;
    }
  }
  return true;
}

std::vector<uint8_t> Encode(const std::u16string& ascii, size_t width) {
  std::vector<uint8_t> out;
  for (char16_t c : ascii) {
    out.push_back(static_cast<uint8_t>(c));
    if (width == 2) {
      out.push_back(0);
    }
  }
  return out;
}

bool EndsLine(uint16_t unit) { return unit == 0x0D || unit == 0x0A || unit == kLineSeparator; }

// The values one dimension takes: the catalog's own when it need not grow.
std::vector<int32_t> Values(int32_t current, bool grows) {
  if (!grows) {
    return {current};
  }
  std::vector<int32_t> values;
  for (int32_t v = std::min(current, 100); v <= std::max(current, kFitMost); v += kFitStep) {
    values.push_back(v);
  }
  return values;
}
}  // namespace

std::vector<ScalePercent> FitCandidates(ScalePercent current, bool wider, bool taller) {
  std::vector<ScalePercent> all;
  if (!wider && !taller) {
    return all;
  }
  for (int32_t x : Values(current.x, wider)) {
    for (int32_t y : Values(current.y, taller)) {
      all.push_back({x, y});
    }
  }
  std::stable_sort(all.begin(), all.end(), [](ScalePercent a, ScalePercent b) {
    const int64_t areaA = int64_t{a.x} * a.y;
    const int64_t areaB = int64_t{b.x} * b.y;
    return areaA != areaB ? areaA < areaB : a.y < b.y;
  });
  return all;
}

bool ParseDpiList(const std::string& text, std::vector<int>* dpis) {
  constexpr int kLeast = 48;
  constexpr int kMost = 480;
  dpis->clear();
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(',', at);
    end = end == std::string::npos ? text.size() : end;
    const std::string item = text.substr(at, end - at);
    if (item.empty() || item.size() > 3 ||
        item.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    const int dpi = std::stoi(item);
    if (dpi < kLeast || dpi > kMost || std::find(dpis->begin(), dpis->end(), dpi) != dpis->end()) {
      return false;
    }
    dpis->push_back(dpi);
    at = end + 1;
  }
  return !dpis->empty();
}

std::string FormatFitData(const std::map<std::string, FitData>& dialogs) {
  std::string text;
  for (const auto& d : dialogs) {
    text += d.first + (d.second.wider ? " 1" : " 0") + (d.second.taller ? " 1 " : " 0 ") +
            d.second.clean + "\n";
  }
  return text;
}

bool ParseFitData(const std::string& text, std::map<std::string, FitData>* dialogs) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end;
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    const size_t space = line.find(' ');
    if (space == std::string::npos || space == 0 || line.size() < space + 5 ||
        line[space + 2] != ' ' || line[space + 4] != ' ') {
      return false;
    }
    FitData d;
    const char wider = line[space + 1];
    const char taller = line[space + 3];
    d.clean = line.substr(space + 5);
    if ((wider != '0' && wider != '1') || (taller != '0' && taller != '1') ||
        d.clean.find_first_not_of("01") != std::string::npos) {
      return false;
    }
    d.wider = wider == '1';
    d.taller = taller == '1';
    (*dialogs)[line.substr(0, space)] = d;
  }
  return true;
}

void AnyGrowth(const std::vector<FitData>& atEach, bool* wider, bool* taller) {
  for (const FitData& d : atEach) {
    *wider = *wider || d.wider;
    *taller = *taller || d.taller;
  }
}

std::vector<ScalePercent> CleanEverywhere(ScalePercent current,
                                          const std::vector<FitData>& atEach) {
  bool wider = false;
  bool taller = false;
  AnyGrowth(atEach, &wider, &taller);
  const std::vector<ScalePercent> candidates = FitCandidates(current, wider, taller);
  std::vector<ScalePercent> clean;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const bool everywhere = std::all_of(atEach.begin(), atEach.end(), [&](const FitData& d) {
      return d.clean.size() == candidates.size() && d.clean[i] == '1';
    });
    if (everywhere) {
      clean.push_back(candidates[i]);
    }
  }
  return clean;
}

std::u16string ScaleValue(ScalePercent scale) {
  return FromUtf8(std::to_string(scale.x) + "*" + std::to_string(scale.y));
}

bool SetScaleEntry(const std::vector<uint8_t>& bytes, const AnsiCodec& codec,
                   const std::u16string& dialogName, ScalePercent scale,
                   std::vector<uint8_t>* result, std::string* err) {
  CatalogFile file(codec);
  if (!file.Load(bytes)) {
    *err += "the launcher finds no marker in the catalog\n";
    return false;
  }
  const std::u16string key =
      FromUtf8(KeyText(CatalogKeyCrc(codec, kDialogText, dialogName.c_str(), u"")));
  const Units units{
      bytes, file.form == CatalogForm::kUtf16 ? 2u : 1u,
      static_cast<size_t>(file.markerPosition) % (file.form == CatalogForm::kUtf16 ? 2u : 1u)};
  const std::vector<uint8_t> entry = Encode(u"=\"" + ScaleValue(scale) + u"\"", units.width);
  const int64_t chosen = file.ChosenLine(key);
  if (chosen >= 0) {
    const BodyLine& line = file.lines[static_cast<size_t>(chosen)];
    const size_t at = UnitOfLine(units, line.fileLine, line.column);
    if (!KeyAt(units, at, key)) {
      *err += "the scale entry of line " + std::to_string(line.fileLine) + " cannot be placed\n";
      return false;
    }
    size_t end = at + key.size();
    while (end < units.Count() && !EndsLine(units.At(end))) {
      ++end;
    }
    const size_t from = units.ByteOffset(at + key.size());
    const size_t to = end < units.Count() ? units.ByteOffset(end) : bytes.size();
    result->assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(from));
    result->insert(result->end(), entry.begin(), entry.end());
    result->insert(result->end(), bytes.begin() + static_cast<std::ptrdiff_t>(to), bytes.end());
  } else {
    *result = bytes;
    const size_t n = units.Count();
    if (n > 0 && !EndsLine(units.At(n - 1))) {
      const std::vector<uint8_t> br = Encode(u"\r\n", units.width);
      result->insert(result->end(), br.begin(), br.end());
    }
    // Preceded by the comment the template gives a scale entry, so that a
    // translator reading the file knows what the new line does.
    ProgramText scaleText;
    scaleText.kind = kDialogText;
    scaleText.hasContext = true;
    scaleText.context = dialogName;
    scaleText.role = TextRole::kScale;
    const std::vector<uint8_t> added = Encode(CommentLine(scaleText) + u"\r\n" + key, units.width);
    result->insert(result->end(), added.begin(), added.end());
    result->insert(result->end(), entry.begin(), entry.end());
    const std::vector<uint8_t> br = Encode(u"\r\n", units.width);
    result->insert(result->end(), br.begin(), br.end());
  }
  // What the launcher will read back decides; anything else is not written.
  MessageCatalog check(codec);
  int32_t x = 0;
  int32_t y = 0;
  check.LoadFromBytes(result->data(), result->size());
  check.GetDialogScale(dialogName.c_str(), &x, &y);
  if (x != scale.x || y != scale.y) {
    *err += "the launcher would not read the new scale entry of " + ToUtf8(dialogName) + "\n";
    return false;
  }
  return true;
}

}  // namespace lngtool
