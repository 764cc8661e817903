#include "lngtool/exchange/po_file.h"

namespace lngtool {
namespace {
std::string Escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          // Any other control character as three octal digits, which every
          // reader takes back as the same character; raw it would be refused.
          const auto u = static_cast<unsigned char>(c);
          out += {'\\', static_cast<char>('0' + (u >> 6)), static_cast<char>('0' + ((u >> 3) & 7)),
                  static_cast<char>('0' + (u & 7))};
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

// A keyword and its string; a text with line breaks is split after each, as
// gettext's own tools lay it out.
std::string Field(const char* keyword, const std::string& text) {
  const size_t lf = text.find('\n');
  if (lf == std::string::npos || lf + 1 == text.size()) {
    return std::string(keyword) + " \"" + Escape(text) + "\"\n";
  }
  std::string out = std::string(keyword) + " \"\"\n";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    out += "\"" + Escape(text.substr(start, end - start)) + "\"\n";
    start = end;
  }
  return out;
}

std::string Comments(const char* mark, const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end;
    out += std::string(mark) + " " + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

std::string KeptField(const PoHeader& h, const char* name) {
  for (const HeaderField& f : h.fields) {
    if (f.first == name) {
      return f.second;
    }
  }
  return "";
}

std::string HeaderEntry(const PoHeader& h) {
  std::string fields = "Project-Id-Version: " + h.project + "\n";
  fields += "PO-Revision-Date: " + h.revisionDate + "\n";
  fields += "Last-Translator: " + KeptField(h, "Last-Translator") + "\n";
  fields += "Language-Team: " + KeptField(h, "Language-Team") + "\n";
  fields += "Language: " + h.language + "\n";
  fields += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n";
  fields += "Content-Transfer-Encoding: 8bit\n";
  for (const HeaderField& f : h.fields) {
    if (f.first != "Last-Translator" && f.first != "Language-Team" && !IsOwnHeaderField(f.first)) {
      fields += f.first + ": " + f.second + "\n";
    }
  }
  fields += "X-Generator: lngtool\n";
  return "msgid \"\"\n" + Field("msgstr", fields);
}

// Each line of block as gettext writes an obsolete message's.
std::string ObsoleteLines(const std::string& block) {
  std::string out;
  size_t start = 0;
  while (start < block.size()) {
    const size_t end = block.find('\n', start) + 1;
    out += "#~ " + block.substr(start, end - start);
    start = end;
  }
  return out;
}

std::string Flags(const PoHeader& header, const TranslationMessage& m) {
  std::string flags;
  auto add = [&flags](const char* flag) {
    flags += (flags.empty() ? "#, " : ", ") + std::string(flag);
  };
  if (m.fuzzy && !header.isTemplate) {
    add("fuzzy");
  }
  if (!header.isTemplate && m.translated && m.translation.empty()) {
    add(kEmptyTranslationFlag);
  }
  if (m.keepUnchanged) {
    add("read-only");  // translation platforms then offer no field for it
  }
  return flags.empty() ? flags : flags + "\n";
}
}  // namespace

std::string WritePo(const PoHeader& header, const std::vector<TranslationMessage>& messages) {
  std::string out = HeaderEntry(header);
  for (const TranslationMessage& m : messages) {
    if (m.obsolete) {
      // Flags stay outside the "#~" lines, as gettext keeps a fuzzy one.
      out += "\n" + Flags(header, m) +
             ObsoleteLines(Field("msgctxt", m.context) + Field("msgid", m.source) +
                           Field("msgstr", m.translated ? m.translation : std::string()));
      continue;
    }
    out += "\n" + Comments("#.", m.note);
    if (!m.reference.empty()) {
      out += "#: " + m.reference + "\n";
    }
    const bool fuzzy = m.fuzzy && !header.isTemplate;
    out += Flags(header, m);
    if (fuzzy && !m.previous.empty()) {
      out += "#| msgid \"" + Escape(m.previous) + "\"\n";
    }
    out += Field("msgctxt", m.context) + Field("msgid", m.source);
    out += Field("msgstr", header.isTemplate || !m.translated ? std::string() : m.translation);
  }
  return out;
}
}  // namespace lngtool
