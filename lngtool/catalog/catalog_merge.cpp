#include "lngtool/catalog/catalog_merge.h"

#include <set>

#include "lngtool/io/text_form.h"

namespace lngtool {
namespace {
std::u16string CommentAbove(const CatalogFile& old, size_t i) {
  if (i < 2) {
    return u"";
  }
  const std::u16string& above = old.lines[i - 1].text;
  if (!above.empty()) {
    return above.front() == u'#' ? above : u"";
  }
  // A CR LF file has an empty line between any two.
  const std::u16string& before = old.lines[i - 2].text;
  return !before.empty() && before.front() == u'#' ? before : u"";
}
}  // namespace

MergeResult MergeCatalog(const CatalogFile& old, const std::vector<ProgramText>& texts,
                         const std::vector<std::u16string>& defaultHeader) {
  MergeResult result;
  result.header = old.header.empty() ? defaultHeader : old.header;
  std::set<size_t> used;
  std::set<std::u16string> current;
  for (const ProgramText& t : texts) {
    const std::u16string key = FromUtf8(KeyText(t.key));
    current.insert(key);
    const int64_t chosen = old.markerFound ? old.ChosenLine(key) : -1;
    CatalogEntry entry{t, DefaultValue(t)};
    if (chosen >= 0) {
      entry.value = ReadEntryShape(old.lines[static_cast<size_t>(chosen)]).intended;
      used.insert(static_cast<size_t>(chosen));
      ++result.kept;
    } else {
      ++result.added;
    }
    result.entries.push_back(std::move(entry));
  }
  for (size_t i = 1; i < old.lines.size(); ++i) {
    const BodyLine& l = old.lines[i];
    if (!l.kept && !l.cut) {
      break;  // beyond what the launcher reads: never in use
    }
    const EntryShape e = ReadEntryShape(l);
    if (!e.isEntry || used.count(i) != 0) {
      continue;
    }
    ObsoleteEntry o{l.fileLine, e.key, e.intended, CommentAbove(old, i), ""};
    if (!e.lowerCase) {
      o.reason = "upper-case key, never matched";
    } else if (current.count(e.key) != 0) {
      o.reason = "duplicate key, the launcher uses another line";
    } else {
      o.reason = "no text of the program has this key";
    }
    result.obsolete.push_back(std::move(o));
  }
  return result;
}

std::vector<std::u16string> ObsoleteLines(const std::vector<ObsoleteEntry>& obsolete) {
  std::vector<std::u16string> lines;
  if (obsolete.empty()) {
    return lines;
  }
  lines.push_back(u"");
  lines.push_back(u"# Obsolete entries, kept for reference only: the launcher never uses them.");
  for (const ObsoleteEntry& o : obsolete) {
    if (!o.comment.empty()) {
      lines.push_back(u"#~ " + o.comment);
    }
    lines.push_back(u"#~ " + o.key + u"=\"" + EscapeValue(o.value) + u"\"");
  }
  return lines;
}

}  // namespace lngtool
