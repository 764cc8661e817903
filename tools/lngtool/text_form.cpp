#include "tools/lngtool/text_form.h"

#include <cstdio>
#include <cstring>

#include "localization/catalog_text.h"

namespace lngtool {

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string FromUtf8(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    const int follow = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t c = follow == 3 ? lead & 0x07u : follow == 2 ? lead & 0x0Fu : lead & 0x1Fu;
    if (follow == 0) {
      c = lead;
    }
    size_t k = 1;
    for (; k <= static_cast<size_t>(follow); ++k) {
      if (i + k >= text.size() || (static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) {
        break;
      }
      c = (c << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3Fu);
    }
    if (k <= static_cast<size_t>(follow)) {
      c = 0xFFFD;  // malformed: one replacement for the lead byte
      k = 1;
    }
    i += k;
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::u16string EscapeValue(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    switch (c) {
      case u'\\':
        out += u"\\\\";
        break;
      case u'"':
        out += u"\\\"";
        break;
      case u'\r':
        out += u"\\r";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\t':
        out += u"\\t";
        break;
      default:
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
