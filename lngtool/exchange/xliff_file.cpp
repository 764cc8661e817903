#include "lngtool/exchange/xliff_file.h"

#include <cstdint>

#include "lngtool/exchange/xml_reader.h"

namespace lngtool {
namespace {
// --- writing ---------------------------------------------------------------

// CR is written as a reference: a parser turns a literal one into LF. In an
// attribute, TAB and LF would become blanks, so they are references too.
std::string Escape(const std::string& text, bool attribute) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += attribute ? "&quot;" : "\"";
        break;
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        out += attribute ? "&#10;" : "\n";
        break;
      case '\t':
        out += attribute ? "&#9;" : "\t";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string Attribute(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + Escape(value, true) + "\"";
}

// The reference "NAME:NUMBER" as translate-toolkit lays out a PO reference.
// Split only where both sides have text: a reader takes no place from an
// empty file name and writes no colon for an empty line number, so ":5101"
// or "LAUNCHDLG:" would not come back as they went; whole, they do.
std::string Location(const std::string& reference) {
  size_t colon = reference.find(':');
  if (colon == 0 || colon + 1 == reference.size()) {
    colon = std::string::npos;
  }
  std::string out = "        <context-group name=\"po-reference\" purpose=\"location\">\n";
  out += "          <context context-type=\"sourcefile\">" +
         Escape(reference.substr(0, colon), false) + "</context>\n";
  if (colon != std::string::npos) {
    out += "          <context context-type=\"linenumber\">" +
           Escape(reference.substr(colon + 1), false) + "</context>\n";
  }
  return out + "        </context-group>\n";
}

std::string Unit(const TranslationMessage& m) {
  std::string out = "      <trans-unit" + Attribute("id", m.id) + Attribute("resname", m.context);
  if (m.maxWidth != 0) {
    out += Attribute("maxwidth", std::to_string(m.maxWidth)) + Attribute("size-unit", "char");
  }
  if (m.keepUnchanged) {
    out += Attribute("translate", "no");
  }
  const bool target = m.translated;
  if (target) {
    out += Attribute("approved", m.fuzzy ? "no" : "yes");
  }
  out += " xml:space=\"preserve\">\n";
  out += "        <source>" + Escape(m.source, false) + "</source>\n";
  if (target) {
    out += "        <target state=\"" +
           std::string(m.fuzzy ? "needs-review-translation" : "translated") + "\">" +
           Escape(m.translation, false) + "</target>\n";
  }
  if (!m.note.empty()) {
    out += "        <note from=\"developer\">" + Escape(m.note, false) + "</note>\n";
  }
  if (!m.reference.empty()) {
    out += Location(m.reference);
  }
  return out + "      </trans-unit>\n";
}

// --- reading ---------------------------------------------------------------

std::string Find(const XmlAttributes& attributes, const char* name) {
  for (const auto& a : attributes) {
    if (a.first == name) {
      return a.second;
    }
  }
  return "";
}

class XliffHandler : public XmlHandler {
 public:
  explicit XliffHandler(TranslationFile* file) : file_(file) {}

  bool Start(const std::string& name, const XmlAttributes& attributes, uint32_t line) override {
    line_ = line;
    ++depth_;
    if (collecting_ != nullptr) {
      return Fail("inline markup <" + name +
                  "> in a source or target, which launcher.lng cannot carry; write the "
                  "text without it");
    }
    if (depth_ == 1) {
      return StartRoot(name, attributes);
    }
    if (skipDepth_ != 0) {
      return true;
    }
    if (name == "file" && file_->language.empty()) {
      file_->language = Find(attributes, "target-language");
    } else if (name == "trans-unit") {
      return StartUnit(attributes, line);
    } else if (inUnit_ && name == "context-group" && Find(attributes, "purpose") == "location") {
      place_ = {};
      inLocation_ = true;
    } else if (inLocation_ && name == "context") {
      const std::string type = Find(attributes, "context-type");
      collecting_ = type == "sourcefile"   ? &place_.first
                    : type == "linenumber" ? &place_.second
                                           : &ignored_;
    } else if (inUnit_ && (name == "alt-trans" || name == "seg-source" || name == "note" ||
                           name == "context-group")) {
      skipDepth_ = depth_;  // suggestions, segmentation and notes are not the translation
    } else if (inUnit_ && name == "source") {
      collecting_ = &unit_.source;
    } else if (inUnit_ && name == "target") {
      StartTarget(attributes, line);
    }
    return true;
  }

  bool End(const std::string& name) override {
    if (skipDepth_ == depth_) {
      skipDepth_ = 0;
    }
    --depth_;
    if (collecting_ != nullptr) {
      collecting_ = nullptr;
      return true;
    }
    if (name == "trans-unit" && inUnit_) {
      return FinishUnit();
    }
    if (name == "context-group" && inLocation_) {
      inLocation_ = false;
      if (unit_.reference.empty() && !place_.first.empty()) {
        unit_.reference = place_.first + (place_.second.empty() ? "" : ":" + place_.second);
      }
    }
    return true;
  }

  bool Text(const std::string& text) override {
    if (collecting_ != nullptr) {
      collecting_->append(text);
    }
    return true;
  }

  uint32_t Line() const { return line_; }
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& message) {
    error_ = message;
    return false;
  }

  bool StartRoot(const std::string& name, const XmlAttributes& attributes) {
    if (name != "xliff") {
      return Fail("the document is <" + name + ">, not an XLIFF file (<xliff>)");
    }
    const std::string version = Find(attributes, "version");
    if (version.compare(0, 2, "1.") != 0) {
      return Fail("XLIFF version \"" + version + "\": only 1.x (1.2) is read");
    }
    return true;
  }

  bool StartUnit(const XmlAttributes& attributes, uint32_t line) {
    if (inUnit_) {
      return Fail("a trans-unit inside another");
    }
    inUnit_ = true;
    hasTarget_ = false;
    unit_ = TranslationMessage();
    unit_.id = Find(attributes, "id");
    unit_.context = Find(attributes, "resname");
    unit_.line = line;
    approvedNo_ = Find(attributes, "approved") == "no";
    // A PO header that translate-toolkit carried over: no text of the program.
    header_ = Find(attributes, "restype") == "x-gettext-domain-header";
    return true;
  }

  void StartTarget(const XmlAttributes& attributes, uint32_t line) {
    hasTarget_ = true;
    state_ = Find(attributes, "state");
    unit_.line = line;
    collecting_ = &unit_.translation;
  }

  // An empty target counts only when its state says it is done; a filled one
  // is fuzzy unless its state (if any) and approval say it is done.
  bool FinishUnit() {
    inUnit_ = false;
    if (header_) {
      return true;
    }
    if (unit_.context.empty() && LabelFromReference(unit_.reference).empty()) {
      return Fail(
          "a trans-unit without resname, which names the text (as \"dialog LAUNCHDLG\"), "
          "and without a location that does");
    }
    const bool done =
        state_.empty() || state_ == "translated" || state_ == "signed-off" || state_ == "final";
    if (hasTarget_ && unit_.translation.empty()) {
      unit_.translated = !state_.empty() && done;
    } else if (hasTarget_) {
      unit_.translated = true;
      unit_.fuzzy = !done || approvedNo_;
    }
    state_.clear();
    file_->messages.push_back(unit_);
    return true;
  }

  TranslationFile* file_;
  TranslationMessage unit_;
  bool inUnit_ = false;
  bool hasTarget_ = false;
  bool approvedNo_ = false;
  bool header_ = false;
  std::string state_;
  bool inLocation_ = false;
  std::pair<std::string, std::string> place_;  // source file and line number of a location
  std::string ignored_;
  std::string* collecting_ = nullptr;
  uint32_t depth_ = 0;
  uint32_t skipDepth_ = 0;
  uint32_t line_ = 0;
  std::string error_;
};
}  // namespace

std::string WriteXliff(const XliffHeader& header, const std::vector<TranslationMessage>& messages) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n";
  out += "  <file" + Attribute("original", header.original) + Attribute("source-language", "en-US");
  if (!header.targetLanguage.empty()) {
    out += Attribute("target-language", header.targetLanguage);
  }
  out += " datatype=\"plaintext\">\n    <body>\n";
  for (const TranslationMessage& m : messages) {
    out += Unit(m);
  }
  return out + "    </body>\n  </file>\n</xliff>\n";
}

bool ReadXliff(const std::string& bytes, TranslationFile* file, ReadError* error) {
  *file = TranslationFile();
  XliffHandler handler(file);
  uint32_t line = 0;
  std::string why;
  if (!ParseXml(bytes, &handler, &line, &why)) {
    error->line = handler.Error().empty() ? line : handler.Line();
    error->message = handler.Error().empty() ? why : handler.Error();
    return false;
  }
  return true;
}

}  // namespace lngtool
