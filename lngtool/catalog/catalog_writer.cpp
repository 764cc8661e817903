#include "lngtool/catalog/catalog_writer.h"

#include "lngtool/io/text_form.h"
#include "localization/catalog_text.h"

namespace lngtool {

const std::u16string kMarkerLine = std::u16string(kCatalogMarker) + u"*";
const char16_t kPreviousSourcePrefix[] = u"#| ";
const char16_t kSuggestionPrefix[] = u"#, fuzzy ";

namespace {
std::u16string Ascii(const std::string& s) { return FromUtf8(s); }

std::u16string Use(const ProgramText& t) {
  const std::string id = std::to_string(static_cast<int32_t>(t.id));
  switch (t.role) {
    case TextRole::kString:
      return Ascii("string " + id);
    case TextRole::kTitle:
      return u"title";
    case TextRole::kControl:
      return Ascii("control " + id + ", ") + t.className;
    case TextRole::kImageName:
      return Ascii("control " + id + ", ") + t.className +
             u": names the image it shows, keep it unchanged";
    case TextRole::kScale:
      return u"scale: horizontal*vertical percentages, 100*100 keeps the size";
    case TextRole::kDirection:
      return u"text direction: RTL for a language written right to left";
  }
  return u"";
}
}  // namespace

std::u16string DefaultValue(const ProgramText& text) {
  switch (text.role) {
    case TextRole::kScale:
      return u"100*100";
    case TextRole::kDirection:
      return u"LTR";
    default:
      return text.source;
  }
}

std::u16string CommentLine(const ProgramText& text) {
  std::u16string line = u"# ";
  line += Ascii(KindLetter(text.kind));
  if (text.hasContext) {
    line += u" " + text.context;
  }
  line += u" \"" + EscapeValue(text.source) + u"\" (" + Use(text) + u")";
  return line;
}

std::u16string EntryLine(uint32_t key, const std::u16string& value) {
  return Ascii(KeyText(key)) + u"=\"" + EscapeValue(value) + u"\"";
}

std::u16string ComposeCatalog(const std::vector<std::u16string>& header,
                              const std::vector<CatalogEntry>& entries,
                              const std::vector<std::u16string>& trailer) {
  std::u16string out;
  for (const std::u16string& line : header) {
    out += line + u"\r\n";
  }
  out += kMarkerLine;
  out += u"\r\n";
  for (const CatalogEntry& e : entries) {
    out += CommentLine(e.text) + u"\r\n";
    if (e.fuzzy) {
      out += kPreviousSourcePrefix + (u"\"" + EscapeValue(e.previousSource) + u"\"\r\n");
      out += kSuggestionPrefix + (u"\"" + EscapeValue(e.suggestion) + u"\"\r\n");
    }
    out += EntryLine(e.text.key, e.value) + u"\r\n";
  }
  for (const std::u16string& line : trailer) {
    out += line + u"\r\n";
  }
  return out;
}

std::vector<uint8_t> EncodeCatalog(const std::u16string& text, FileForm form,
                                   const AnsiCodec& codec, bool* lossy) {
  *lossy = false;
  if (form == FileForm::kAnsi) {
    return EncodeAnsi(codec, text, lossy);
  }
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

std::vector<std::u16string> TemplateHeader(const std::string& moduleName) {
  return {
      u"; Message catalog of the Zentak install launcher (launcher.lng), made by",
      u"; \"lngtool template\" from " + FromUtf8(moduleName) + u".",
      u"; Everything before the marker line is ignored. After it, a line is an entry",
      u"; when it begins with a key: key=\"translation\". A key stands for the English",
      u"; text named in the comment above it: change only the text in quotes, then",
      u"; run \"lngtool check\" on the file.",
  };
}

}  // namespace lngtool
