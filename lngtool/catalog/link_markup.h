// Link markup as the link control reads it: <a href="..." id="...">text</a>,
// tag and attribute names in either case, values in double or single quotes.
// Markup it cannot read it shows as text, and such a link opens nothing.
#pragma once
#include <string>
#include <vector>

namespace lngtool {

struct LinkMarkup {
  std::vector<std::u16string> targets;  // each link's href, in order (empty: none given)
  std::string fault;                    // why the control cannot read it; empty when it can
};

LinkMarkup ReadLinkMarkup(const std::u16string& text);

}  // namespace lngtool
