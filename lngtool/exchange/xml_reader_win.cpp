// The XML parser of the Windows build: the system's XmlLite, loaded at run
// time (MinGW-w64 has its header but no import library), reading from a
// memory stream.
#include <windows.h>
// After <windows.h>, which they build on.
#include <objbase.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/call_by_name_win.h"
#include "base/scoped_win.h"
#include "base/utf8.h"
#include "base/wide_bridge.h"
#include "lngtool/exchange/xml_reader.h"
#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {
using CreateReader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

const IID kReaderId = {
    0x7279fc81, 0x709d, 0x4095, {0xb6, 0x3d, 0x69, 0xfe, 0x4b, 0x0d, 0x90, 0x30}};

// Wine's XmlLite gives a blank for a character reference to TAB, LF or CR,
// where XML wants the character itself; and the catalog's CR can be written
// in XLIFF as &#13; only. Where the reader is found to do so, such references
// are exchanged before the parse for three noncharacters that the document
// does not hold, and exchanged back in every text the handler receives.
constexpr char16_t kStandIn = 0xFDD0;  // for TAB; LF and CR follow it
bool standIns = false;

std::string Utf8(const WCHAR* text, UINT length) {
  std::u16string units(AsUtf16(text), length);
  for (char16_t& c : units) {
    if (standIns && c >= kStandIn && c <= kStandIn + 2) {
      const char16_t spaces[] = {u'\t', u'\n', u'\r'};
      c = spaces[c - kStandIn];
    }
  }
  return ToUtf8(units);
}

// The value of the character reference at text[at] ("&#...;"), with its
// length; -1 when there is none.
long ReferenceAt(const std::string& text, size_t at, size_t* length) {
  if (text.compare(at, 2, "&#") != 0) {
    return -1;
  }
  const bool hex = at + 2 < text.size() && text[at + 2] == 'x';
  long value = 0;
  size_t i = at + (hex ? 3 : 2);
  for (size_t digits = 0; i < text.size() && text[i] != ';'; ++i, ++digits) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'          ? c - '0'
                      : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                    : -1;
    if (digit < 0 || digits > 8) {
      return -1;
    }
    value = value * (hex ? 16 : 10) + digit;
  }
  if (i == text.size()) {
    return -1;
  }
  *length = i + 1 - at;
  return value;
}

// Where the scan stands: in a tag, and in one of its quoted values.
struct Markup {
  bool inTag = false;
  char quote = 0;
  // Character references stand in content and attribute values, not in names.
  bool ReferencesAllowed() const { return !inTag || quote != 0; }
};

void TrackMarkup(char c, Markup* m) {
  if (!m->inTag) {
    m->inTag = c == '<';
  } else if (m->quote != 0) {
    if (c == m->quote) m->quote = 0;
  } else if (c == '"' || c == '\'') {
    m->quote = c;
  } else if (c == '>') {
    m->inTag = false;
  }
}

// The length of the well-formed UTF-8 sequence at bytes[at] and its code
// point; 1 for an ASCII byte and for bytes that start no sequence.
size_t Utf8SequenceAt(const std::string& bytes, size_t at, uint32_t* codePoint) {
  const std::u16string decoded =
      Utf8ToUtf16(bytes.data() + at, std::min<size_t>(4, bytes.size() - at));
  const uint8_t lead = static_cast<uint8_t>(bytes[at]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
  if (length == 1 || decoded.empty() || decoded[0] == 0xFFFD) return 1;
  size_t fault = 0;
  if (at + length > bytes.size() || !IsValidUtf8(bytes.data() + at, length, &fault)) return 1;
  *codePoint = decoded[0] >= 0xD800 && decoded[0] < 0xDC00 && decoded.size() > 1
                   ? 0x10000 + ((decoded[0] - 0xD800u) << 10) + (decoded[1] - 0xDC00u)
                   : decoded[0];
  return length;
}

// The references exchanged, outside CDATA sections, comments and processing
// instructions; false (nothing exchanged) when the document already holds a
// stand-in or is not UTF-8.
bool ExchangeReferences(const std::string& bytes, std::string* out) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0 ||
      bytes.find("\xEF\xB7\x90") != std::string::npos ||
      bytes.find("\xEF\xB7\x91") != std::string::npos ||
      bytes.find("\xEF\xB7\x92") != std::string::npos) {
    return false;
  }
  const char* const skipped[][2] = {{"<![CDATA[", "]]>"}, {"<!--", "-->"}, {"<?", "?>"}};
  out->clear();
  Markup markup;
  for (size_t at = 0; at < bytes.size();) {
    bool skip = false;
    for (const auto& pair : skipped) {
      if (bytes.compare(at, std::strlen(pair[0]), pair[0]) == 0) {
        const size_t end = bytes.find(pair[1], at);
        const size_t stop = end == std::string::npos ? bytes.size() : end + std::strlen(pair[1]);
        out->append(bytes, at, stop - at);
        at = stop;
        skip = true;
        break;
      }
    }
    if (skip) {
      continue;
    }
    size_t length = 0;
    const long value = ReferenceAt(bytes, at, &length);
    if (value >= kStandIn && value <= kStandIn + 2) {
      return false;
    }
    if (value == 9 || value == 10 || value == 13) {
      *out += "&#" + std::to_string(kStandIn + (value == 9 ? 0 : value == 10 ? 1 : 2)) + ";";
      at += length;
      continue;
    }
    TrackMarkup(bytes[at], &markup);
    uint32_t codePoint = 0;
    const size_t sequence = Utf8SequenceAt(bytes, at, &codePoint);
    if (sequence > 1 && markup.ReferencesAllowed()) {
      // This reader garbles a sequence that straddles the end of its read
      // buffer; a reference is plain ASCII.
      *out += "&#" + std::to_string(codePoint) + ";";
      at += sequence;
    } else {
      out->push_back(bytes[at++]);
    }
  }
  return true;
}

bool Name(IXmlReader* reader, std::string* name) {
  const WCHAR* text = nullptr;
  UINT length = 0;
  if (FAILED(reader->GetLocalName(&text, &length))) {
    return false;
  }
  *name = Utf8(text, length);
  return true;
}

bool Value(IXmlReader* reader, std::string* value) {
  const WCHAR* text = nullptr;
  UINT length = 0;
  if (FAILED(reader->GetValue(&text, &length))) {
    return false;
  }
  *value = Utf8(text, length);
  return true;
}

bool Attributes(IXmlReader* reader, XmlAttributes* list) {
  HRESULT hr = reader->MoveToFirstAttribute();
  while (hr == S_OK) {
    std::string name;
    std::string value;
    if (!Name(reader, &name) || !Value(reader, &value)) {
      return false;
    }
    list->emplace_back(name, value);
    hr = reader->MoveToNextAttribute();
  }
  return SUCCEEDED(hr) && SUCCEEDED(reader->MoveToElement());
}

// One node to the handler; false when the handler stops or a read fails.
bool Deliver(IXmlReader* reader, XmlNodeType type, XmlHandler* handler) {
  std::string name;
  std::string text;
  switch (type) {
    case XmlNodeType_Element: {
      UINT line = 0;
      XmlAttributes attributes;
      reader->GetLineNumber(&line);
      const bool empty = reader->IsEmptyElement() != FALSE;
      if (!Name(reader, &name) || !Attributes(reader, &attributes) ||
          !handler->Start(name, attributes, line)) {
        return false;
      }
      return !empty || handler->End(name);
    }
    case XmlNodeType_EndElement:
      return Name(reader, &name) && handler->End(name);
    case XmlNodeType_Text:
    case XmlNodeType_CDATA:
    case XmlNodeType_Whitespace:
      return Value(reader, &text) && handler->Text(text);
    default:
      return true;
  }
}

// mostNodes bounds the reading: a reader that stops making progress (Wine's,
// on a file cut inside an element) would otherwise answer S_OK for ever.
bool Parse(IXmlReader* reader, size_t mostNodes, XmlHandler* handler, uint32_t* errorLine,
           std::string* error) {
  XmlNodeType type = XmlNodeType_None;
  HRESULT hr = S_OK;
  size_t nodes = 0;
  while ((hr = reader->Read(&type)) == S_OK) {
    if (++nodes > mostNodes) {
      UINT line = 0;
      reader->GetLineNumber(&line);
      *errorLine = line;
      *error = "not well-formed XML (the reader makes no progress: is the file cut short?)";
      return false;
    }
    if (!Deliver(reader, type, handler)) {
      UINT line = 0;
      reader->GetLineNumber(&line);
      *errorLine = line;
      return false;
    }
  }
  if (FAILED(hr)) {
    UINT line = 0;
    reader->GetLineNumber(&line);
    *errorLine = line;
    char code[16];
    wsprintfA(code, "%08lX", static_cast<unsigned long>(hr));
    *error = hr == static_cast<HRESULT>(WC_E_DTDPROHIBITED)
                 ? "a document type declaration (<!DOCTYPE>), which an XLIFF file does not "
                   "need; refused so that no entity is expanded"
                 : std::string("not well-formed XML (XmlLite error 0x") + code + ")";
    return false;
  }
  return true;
}
bool ParseWith(CreateReader create, const std::string& bytes, XmlHandler* handler,
               uint32_t* errorLine, std::string* error) {
  ScopedComPtr<IStream> stream;
  ScopedComPtr<IXmlReader> reader;
  *stream.Out() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                    static_cast<UINT>(bytes.size()));
  if (stream.Get() == nullptr || FAILED(create(kReaderId, reader.OutVoid(), nullptr)) ||
      FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
      FAILED(reader->SetInput(stream.Get()))) {
    *error = "the system's XML reader could not be set up";
    return false;
  }
  // Every node takes at least one byte of the input; the doubling and the
  // slack leave room to spare.
  return Parse(reader.Get(), 2 * bytes.size() + 64, handler, errorLine, error);
}

class TextOnly : public XmlHandler {
 public:
  bool Start(const std::string& /*name*/, const XmlAttributes& /*attributes*/,
             uint32_t /*line*/) override {
    return true;
  }
  bool End(const std::string& /*name*/) override { return true; }
  bool Text(const std::string& piece) override {
    text += piece;
    return true;
  }
  std::string text;
};

// Whether this XmlLite gives CR for &#13;, as XML wants.
bool KeepsCarriageReturn(CreateReader create) {
  TextOnly probe;
  uint32_t line = 0;
  std::string error;
  return ParseWith(create, "<a>&#13;</a>", &probe, &line, &error) && probe.text == "\r";
}
}  // namespace

bool ParseXml(const std::string& bytes, XmlHandler* handler, uint32_t* errorLine,
              std::string* error) {
  *errorLine = 0;
  if (bytes.size() > UINT_MAX) {
    *error = "the file is too large";
    return false;
  }
  // From the system folder only, never from beside the files translated.
  const ScopedModule xmllite(LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  const auto create = CallByName<CreateReader>(xmllite.Get(), "CreateXmlReader");
  if (create == nullptr) {
    *error = "the system's XML reader (xmllite.dll) is not available";
    return false;
  }
  std::string exchanged;
  standIns = !KeepsCarriageReturn(create) && ExchangeReferences(bytes, &exchanged);
  const bool parsed = ParseWith(create, standIns ? exchanged : bytes, handler, errorLine, error);
  standIns = false;
  return parsed;
}

}  // namespace lngtool
