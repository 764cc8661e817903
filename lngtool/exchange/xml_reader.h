// The XML parser behind the XLIFF reader: the system's own (libexpat on the
// host, XmlLite on Windows) behind one small interface. Documents with a
// document type declaration are refused, so that no entity is ever
// expanded; names reach the handler without their namespace prefix.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lngtool {

using XmlAttributes = std::vector<std::pair<std::string, std::string>>;

class XmlHandler {
 public:
  XmlHandler() = default;
  virtual ~XmlHandler() = default;
  XmlHandler(const XmlHandler&) = delete;
  XmlHandler& operator=(const XmlHandler&) = delete;
  XmlHandler(XmlHandler&&) = delete;
  XmlHandler& operator=(XmlHandler&&) = delete;

  // Texts are UTF-8, entities and character references resolved, CDATA
  // given as text; a text may come in several pieces. A handler that returns
  // false stops the parse, which then fails with the handler's own error.
  virtual bool Start(const std::string& name, const XmlAttributes& attributes, uint32_t line) = 0;
  virtual bool End(const std::string& name) = 0;
  virtual bool Text(const std::string& text) = 0;
};

// False when the document is not well-formed, has a document type
// declaration, or the handler stopped: the error's line and message then say
// where and why (a stopping handler's message is left for it to give).
bool ParseXml(const std::string& bytes, XmlHandler* handler, uint32_t* errorLine,
              std::string* error);

// A name without its namespace prefix: "xml:space" gives "space".
inline std::string LocalName(const std::string& name) {
  const size_t colon = name.rfind(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

}  // namespace lngtool
