// The XML parser of the native build: libexpat.
#include <expat.h>

#include <climits>

#include "lngtool/exchange/xml_reader.h"

namespace lngtool {
namespace {
struct ParseState {
  XML_Parser parser;
  XmlHandler* handler;
  std::string reason;  // why the parse was stopped; empty when the handler did
  bool stopped = false;
};

void Stop(ParseState* state, const std::string& reason) {
  if (!state->stopped) {
    state->stopped = true;
    state->reason = reason;
    XML_StopParser(state->parser, XML_FALSE);
  }
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* state = static_cast<ParseState*>(data);
  XmlAttributes list;
  for (const XML_Char** a = attributes; a[0] != nullptr && a[1] != nullptr; a += 2) {
    list.emplace_back(LocalName(a[0]), a[1]);
  }
  const auto line = static_cast<uint32_t>(XML_GetCurrentLineNumber(state->parser));
  if (!state->stopped && !state->handler->Start(LocalName(name), list, line)) {
    Stop(state, "");
  }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto* state = static_cast<ParseState*>(data);
  if (!state->stopped && !state->handler->End(LocalName(name))) {
    Stop(state, "");
  }
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
  auto* state = static_cast<ParseState*>(data);
  if (!state->stopped && !state->handler->Text(std::string(text, static_cast<size_t>(length)))) {
    Stop(state, "");
  }
}

// No entity of a document type declaration is ever expanded: the whole
// declaration is refused.
void XMLCALL OnDoctype(void* data, const XML_Char* /*name*/, const XML_Char* /*sysid*/,
                       const XML_Char* /*pubid*/, int /*hasInternalSubset*/) {
  Stop(static_cast<ParseState*>(data),
       "a document type declaration (<!DOCTYPE>), which an XLIFF file does not need; refused so "
       "that no entity is expanded");
}
}  // namespace

bool ParseXml(const std::string& bytes, XmlHandler* handler, uint32_t* errorLine,
              std::string* error) {
  if (bytes.size() > INT_MAX) {
    *errorLine = 0;
    *error = "the file is too large";
    return false;
  }
  ParseState state{XML_ParserCreate(nullptr), handler, "", false};
  if (state.parser == nullptr) {
    *errorLine = 0;
    *error = "out of memory";
    return false;
  }
  XML_SetUserData(state.parser, &state);
  XML_SetElementHandler(state.parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(state.parser, OnText);
  XML_SetStartDoctypeDeclHandler(state.parser, OnDoctype);
  const bool parsed = XML_Parse(state.parser, bytes.data(), static_cast<int>(bytes.size()),
                                XML_TRUE) == XML_STATUS_OK;
  *errorLine = static_cast<uint32_t>(XML_GetCurrentLineNumber(state.parser));
  if (!parsed) {
    *error = state.stopped ? state.reason
                           : std::string("not well-formed XML: ") +
                                 XML_ErrorString(XML_GetErrorCode(state.parser));
  }
  XML_ParserFree(state.parser);
  return parsed && !state.stopped;
}

}  // namespace lngtool
