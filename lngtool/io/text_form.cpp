#include "lngtool/io/text_form.h"

#include <cstdio>
#include <cstring>

#include "base/utf8.h"
#include "localization/catalog_text.h"

namespace lngtool {

std::string ToUtf8(const std::u16string& text) { return Utf16ToUtf8(text.data(), text.size()); }

std::u16string FromUtf8(const std::string& text) { return Utf8ToUtf16(text.data(), text.size()); }

namespace {
// What the loader's escape pass turns back into each character.
struct Escape {
  char16_t character;
  const char16_t* escaped;
};
constexpr Escape kEscapes[] = {
    {u'\\', u"\\\\"}, {u'"', u"\\\""}, {u'\r', u"\\r"}, {u'\n', u"\\n"}, {u'\t', u"\\t"},
};
}  // namespace

std::u16string EscapeValue(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    const Escape* escape = nullptr;
    for (const Escape& e : kEscapes) {
      if (e.character == c) escape = &e;
    }
    if (escape != nullptr) {
      out += escape->escaped;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string ResolveEscapes(const std::u16string& text) {
  // The loader's own pass, so that the tool can never disagree with it.
  std::vector<char16_t> units(text.begin(), text.end());
  units.push_back(0);
  const uint64_t length = ResolveCatalogEscapes(units.data(), text.size());
  return std::u16string(units.data(), static_cast<size_t>(length));
}

std::string Quoted(const std::u16string& text) { return "\"" + ToUtf8(EscapeValue(text)) + "\""; }

std::vector<uint8_t> EncodeAnsi(const AnsiCodec& codec, const std::u16string& text, bool* lossy) {
  // No code page needs more than four bytes for one UTF-16 unit.
  std::vector<char> buffer(text.size() * 4 + 1, 0);
  codec.wideToAnsi(text.c_str(), buffer.data(), buffer.size());
  const size_t n = std::strlen(buffer.data());
  *lossy = DecodeAnsi(codec, reinterpret_cast<const uint8_t*>(buffer.data()), n) != text;
  return std::vector<uint8_t>(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(n));
}

std::u16string DecodeAnsi(const AnsiCodec& codec, const uint8_t* bytes, size_t size) {
  std::string src(reinterpret_cast<const char*>(bytes), size);
  std::vector<char16_t> wide(size + 1, 0);
  codec.ansiToWide(src.c_str(), wide.data(), wide.size());
  return std::u16string(wide.data());
}

std::string KeyText(uint32_t key) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", key);
  return text;
}

}  // namespace lngtool
