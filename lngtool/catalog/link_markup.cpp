#include "lngtool/catalog/link_markup.h"

#include "base/bounded_text.h"
#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s) {
    c = UpperCaseChar(c);
  }
  return s;
}

class MarkupReader {
 public:
  explicit MarkupReader(const std::u16string& text) : text_(text) {}

  LinkMarkup Read() {
    while (at_ < text_.size() && markup_.fault.empty()) {
      if (text_[at_] != u'<') {
        linkText_ += inLink_ && !IsBlank(text_[at_]) ? 1 : 0;
        ++at_;
        continue;
      }
      ReadTag();
    }
    if (markup_.fault.empty() && inLink_) {
      markup_.fault = "the link " + Quoted(openedAs_) +
                      " has no </a>: the control shows the markup as text and opens nothing";
    }
    return std::move(markup_);
  }

 private:
  // The tag's name after '<' (and '/'), or empty when '<' begins no tag.
  std::u16string TagName(size_t from) const {
    size_t end = from;
    while (end < text_.size() && IsLetter(text_[end])) {
      ++end;
    }
    return text_.substr(from, end - from);
  }

  void ReadTag() {
    const size_t start = at_;
    const bool closing = at_ + 1 < text_.size() && text_[at_ + 1] == u'/';
    const std::u16string name = TagName(at_ + (closing ? 2 : 1));
    if (name.empty()) {
      ++at_;  // a plain '<', as in "a < b"
      return;
    }
    if (Upper(name) != u"A") {
      const size_t end = text_.find(u'>', start);
      Fail("the link control knows no tag " +
           Quoted(text_.substr(start, end == std::u16string::npos ? 16 : end + 1 - start)) +
           " (only <a href=\"...\"> and </a>): it shows it as text");
      return;
    }
    at_ += (closing ? 2 : 1) + name.size();
    if (closing) {
      ReadClosing(start);
    } else {
      ReadOpening(start);
    }
  }

  void ReadClosing(size_t start) {
    while (at_ < text_.size() && IsBlank(text_[at_])) {
      ++at_;
    }
    if (at_ == text_.size() || text_[at_] != u'>') {
      Fail("the tag " + Quoted(text_.substr(start, at_ - start)) + " has no closing >");
    } else if (!inLink_) {
      Fail("</a> closes no link: the control shows it as text");
    } else if (linkText_ == 0) {
      Fail("the link " + Quoted(openedAs_) + " has no text: there is nothing to click");
    }
    ++at_;
    inLink_ = false;
  }

  void ReadOpening(size_t start) {
    if (inLink_) {
      Fail("a link begins inside the link " + Quoted(openedAs_) + " (its </a> is missing)");
      return;
    }
    std::u16string target;
    while (markup_.fault.empty()) {
      while (at_ < text_.size() && IsBlank(text_[at_])) {
        ++at_;
      }
      if (at_ == text_.size()) {
        Fail("the tag " + Quoted(text_.substr(start, 24)) + " has no closing >");
        return;
      }
      if (text_[at_] == u'>') {
        break;
      }
      ReadAttribute(&target);
    }
    if (!markup_.fault.empty()) {
      return;
    }
    ++at_;
    openedAs_ = text_.substr(start, at_ - start);
    markup_.targets.push_back(target);
    inLink_ = true;
    linkText_ = 0;
  }

  void ReadAttribute(std::u16string* target) {
    const std::u16string name = TagName(at_);
    const std::u16string upper = Upper(name);
    if (upper != u"HREF" && upper != u"ID") {
      Fail("the link control knows no attribute " +
           Quoted(name.empty() ? text_.substr(at_, 1) : name) +
           " (only href and id): it shows the tag as text");
      return;
    }
    at_ += name.size();
    if (at_ + 1 >= text_.size() || text_[at_] != u'=' ||
        (text_[at_ + 1] != u'"' && text_[at_ + 1] != u'\'')) {
      Fail("the attribute " + ToUtf8(name) +
           " is not followed by =\" or =' (its value must be quoted): the control shows the "
           "tag as text");
      return;
    }
    const char16_t quote = text_[at_ + 1];
    const size_t end = text_.find(quote, at_ + 2);
    if (end == std::u16string::npos) {
      Fail("the value of " + ToUtf8(name) +
           " has no closing quote: the control shows the markup as text and opens nothing");
      return;
    }
    if (upper == u"HREF") {
      *target = text_.substr(at_ + 2, end - at_ - 2);
    }
    at_ = end + 1;
  }

  void Fail(const std::string& why) { markup_.fault = why; }

  const std::u16string& text_;
  size_t at_ = 0;
  bool inLink_ = false;
  size_t linkText_ = 0;  // visible characters in the open link
  std::u16string openedAs_;
  LinkMarkup markup_;
};
}  // namespace

LinkMarkup ReadLinkMarkup(const std::u16string& text) { return MarkupReader(text).Read(); }

}  // namespace lngtool
