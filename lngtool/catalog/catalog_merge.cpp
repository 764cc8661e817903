#include "lngtool/catalog/catalog_merge.h"

#include <algorithm>
#include <set>

#include "lngtool/catalog/translation_state.h"
#include "lngtool/io/text_form.h"

namespace lngtool {

const char kGoneReason[] = "no text of the program has this key";
const char16_t kObsoleteHeading[] =
    u"# Obsolete entries, kept for reference only: the launcher never uses them.";

namespace {
bool StartsWith(const std::u16string& s, const char16_t* prefix) {
  return s.compare(0, std::char_traits<char16_t>::length(prefix), prefix) == 0;
}

bool IsSuggestionLine(const std::u16string& s) {
  return StartsWith(s, kPreviousSourcePrefix) || StartsWith(s, kSuggestionPrefix);
}

// The comment naming the entry at lines[i], as written (escapes and all):
// the nearest comment line above it, past blank lines (a CR LF file has one
// between any two) and past the lines of a suggestion.
std::u16string CommentAbove(const CatalogFile& old, size_t i) {
  while (i > 1) {
    const std::u16string& above = old.lines[--i].raw;
    if (above.empty() || IsSuggestionLine(above)) {
      continue;
    }
    return above.front() == u'#' ? above : u"";
  }
  return u"";
}

// The text between the first quote and the next unescaped one, resolved. s
// is a line as written: resolved once more, an escape would change again.
bool QuotedText(const std::u16string& s, size_t from, std::u16string* text, size_t* end) {
  const size_t open = s.find(u'"', from);
  if (open == std::u16string::npos) {
    return false;
  }
  for (size_t i = open + 1; i < s.size(); ++i) {
    if (s[i] == u'\\') {
      ++i;
    } else if (s[i] == u'"') {
      *text = ResolveEscapes(s.substr(open + 1, i - open - 1));
      *end = i + 1;
      return true;
    }
  }
  return false;
}

// What a comment line as CommentLine writes it says: "# K [CONTEXT] "source" (use)".
struct Described {
  int kind = -1;
  std::u16string context;
  std::u16string source;
};

Described ReadComment(const std::u16string& comment) {
  Described d;
  if (!StartsWith(comment, u"# ")) {
    return d;
  }
  const size_t kindEnd = comment.find(u' ', 2);
  const size_t quote = comment.find(u'"', 2);
  size_t end = 0;
  if (kindEnd == std::u16string::npos || quote == std::u16string::npos || quote < kindEnd ||
      !QuotedText(comment, quote, &d.source, &end)) {
    return d;
  }
  d.kind = ParseKind(ToUtf8(comment.substr(2, kindEnd - 2)));
  size_t b = kindEnd + 1;
  size_t e = quote;
  while (b < e && comment[b] == u' ') ++b;
  while (e > b && comment[e - 1] == u' ') --e;
  d.context = comment.substr(b, e - b);
  return d;
}

// The gone entry whose English text is most like t's, or -1.
int64_t Closest(const ProgramText& t, const std::vector<ObsoleteEntry>& gone,
                const std::vector<Described>& sources, const std::vector<bool>& taken) {
  int64_t best = -1;
  double bestScore = kFuzzyThreshold;
  for (size_t i = 0; i < gone.size(); ++i) {
    const Described& d = sources[i];
    if (taken[i] || d.kind != static_cast<int>(t.kind) || d.source.empty() ||
        gone[i].value == d.source) {
      continue;  // another kind of text, no English to compare, or nothing translated
    }
    // Of two equally close, the one of the same dialog.
    const double score = Similarity(d.source, t.source) + (d.context == t.context ? 1e-9 : 0);
    if (score >= bestScore) {
      best = static_cast<int64_t>(i);
      bestScore = score;
    }
  }
  return best;
}

void OfferSuggestions(MergeResult* result, const std::set<std::u16string>& identical) {
  std::vector<Described> sources;
  sources.reserve(result->obsolete.size());
  for (const ObsoleteEntry& o : result->obsolete) {
    const bool gone = o.reason == kGoneReason;
    sources.push_back(gone ? ReadComment(o.comment) : Described());
  }
  std::vector<bool> taken(result->obsolete.size(), false);
  for (CatalogEntry& e : result->entries) {
    if (e.fuzzy || e.value != DefaultValue(e.text) || e.text.role == TextRole::kScale ||
        e.text.source.empty() || identical.count(FromUtf8(KeyText(e.text.key))) != 0) {
      continue;
    }
    const int64_t i = Closest(e.text, result->obsolete, sources, taken);
    if (i < 0) {
      continue;
    }
    const auto at = static_cast<size_t>(i);
    taken[at] = true;
    e.previousSource = sources[at].source;
    e.suggestion = result->obsolete[at].value;
    e.fuzzy = true;
    ++result->fuzzy;
  }
  std::vector<ObsoleteEntry> left;
  for (size_t i = 0; i < result->obsolete.size(); ++i) {
    if (!taken[i]) {
      left.push_back(std::move(result->obsolete[i]));
    }
  }
  result->obsolete = std::move(left);
}
}  // namespace

bool ReadNamedText(const std::u16string& comment, NamedText* named) {
  const Described d = ReadComment(comment);
  if (d.kind < 0) {
    return false;
  }
  named->kind = static_cast<LookupKind>(d.kind);
  named->context = d.context;
  named->source = d.source;
  return true;
}

double Similarity(const std::u16string& a, const std::u16string& b) {
  const size_t longer = std::max(a.size(), b.size());
  if (longer == 0) {
    return 1;
  }
  // Levenshtein's distance, one row at a time.
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return 1.0 - static_cast<double>(row[b.size()]) / static_cast<double>(longer);
}

bool ReadSuggestion(const CatalogFile& file, size_t index, CatalogEntry* entry) {
  bool previous = false;
  bool suggested = false;
  size_t end = 0;
  for (size_t i = index; i > 1;) {
    const std::u16string& above = file.lines[--i].raw;
    if (above.empty()) {
      continue;
    }
    if (StartsWith(above, kSuggestionPrefix) && !suggested) {
      suggested = QuotedText(above, 0, &entry->suggestion, &end);
    } else if (StartsWith(above, kPreviousSourcePrefix) && !previous) {
      previous = QuotedText(above, 0, &entry->previousSource, &end);
    } else {
      break;
    }
  }
  entry->fuzzy = suggested;
  if (!previous) {
    entry->previousSource.clear();
  }
  return suggested;
}

namespace {
const char16_t kObsoletePrefix[] = u"#~ ";

// Why the launcher never uses an entry of key.
std::string Reason(const std::u16string& key, const std::set<std::u16string>& current) {
  if (LowerKey(key) != key) {
    return "upper-case key, never matched";
  }
  return current.count(key) != 0 ? "duplicate key, the launcher uses another line" : kGoneReason;
}

// The "#~" entries an earlier merge kept, each with the "#~" comment line
// before it, as written.
std::vector<ObsoleteEntry> CarriedObsolete(const CatalogFile& old) {
  std::vector<ObsoleteEntry> carried;
  std::u16string comment;
  for (size_t i = 1; i < old.lines.size(); ++i) {
    const BodyLine& l = old.lines[i];
    if (l.raw.empty()) {
      continue;  // between CR and LF
    }
    if (!StartsWith(l.raw, kObsoletePrefix)) {
      comment.clear();
      continue;
    }
    BodyLine inner = l;
    inner.raw = l.raw.substr(std::char_traits<char16_t>::length(kObsoletePrefix));
    inner.text = ResolveEscapes(inner.raw);
    const EntryShape e = ReadEntryShape(inner);
    if (e.isEntry) {
      carried.push_back({l.fileLine, e.key, e.intended, comment, "", inner.raw});
      comment.clear();
    } else {
      comment = inner.raw;
    }
  }
  return carried;
}

// A kept entry at its English text that the translator kept so on purpose
// stays listed; keys of texts gone or translated since leave the list.
std::vector<std::u16string> MergedHeader(const std::vector<std::u16string>& header,
                                         const std::vector<CatalogEntry>& entries) {
  const std::set<std::u16string> listed = IdenticalKeys(header);
  std::set<std::u16string> kept;
  for (const CatalogEntry& e : entries) {
    const std::u16string key = FromUtf8(KeyText(e.text.key));
    if (listed.count(key) != 0 && !e.fuzzy && e.value == DefaultValue(e.text)) {
      kept.insert(key);
    }
  }
  return listed.empty() ? header : WithIdenticalKeys(header, kept);
}
}  // namespace

MergeResult MergeCatalog(const CatalogFile& old, const std::vector<ProgramText>& texts,
                         const std::vector<std::u16string>& defaultHeader, bool suggest) {
  MergeResult result;
  std::set<size_t> used;
  std::set<std::u16string> current;
  for (const ProgramText& t : texts) {
    current.insert(FromUtf8(KeyText(t.key)));
  }
  std::vector<ObsoleteEntry> carried =
      old.markerFound ? CarriedObsolete(old) : std::vector<ObsoleteEntry>();
  std::vector<bool> revived(carried.size(), false);
  for (const ProgramText& t : texts) {
    const std::u16string key = FromUtf8(KeyText(t.key));
    const int64_t chosen = old.markerFound ? old.ChosenLine(key) : -1;
    CatalogEntry entry{t, DefaultValue(t)};
    if (chosen >= 0) {
      const auto at = static_cast<size_t>(chosen);
      entry.value = ReadEntryShape(old.lines[at]).intended;
      // A suggestion not yet taken up stays for the next review.
      if (entry.value != DefaultValue(t) || !ReadSuggestion(old, at, &entry)) {
        entry.fuzzy = false;
        entry.suggestion.clear();
        entry.previousSource.clear();
      }
      used.insert(at);
      ++result.kept;
    } else {
      // As msgmerge does, a text come back takes its obsolete translation.
      size_t i = 0;
      while (i < carried.size() && (revived[i] || carried[i].key != key)) ++i;
      if (i < carried.size()) {
        revived[i] = true;
        entry.value = carried[i].value;
      }
      ++(i < carried.size() ? result.kept : result.added);
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
    result.obsolete.push_back(
        {l.fileLine, e.key, e.intended, CommentAbove(old, i), Reason(e.key, current), l.raw});
  }
  // Those an earlier merge kept come first, in their order, so that a merge
  // run again writes the same file.
  std::vector<ObsoleteEntry> all;
  for (size_t i = 0; i < carried.size(); ++i) {
    if (!revived[i]) {
      carried[i].reason = Reason(carried[i].key, current);
      all.push_back(std::move(carried[i]));
    }
  }
  all.insert(all.end(), std::make_move_iterator(result.obsolete.begin()),
             std::make_move_iterator(result.obsolete.end()));
  result.obsolete = std::move(all);
  result.header = MergedHeader(old.header.empty() ? defaultHeader : old.header, result.entries);
  if (suggest) {
    OfferSuggestions(&result, IdenticalKeys(result.header));
  }
  return result;
}

std::vector<std::u16string> ObsoleteLines(const std::vector<ObsoleteEntry>& obsolete) {
  std::vector<std::u16string> lines;
  if (obsolete.empty()) {
    return lines;
  }
  lines.push_back(u"");
  lines.push_back(kObsoleteHeading);
  for (const ObsoleteEntry& o : obsolete) {
    if (!o.comment.empty()) {
      lines.push_back(kObsoletePrefix + o.comment);
    }
    lines.push_back(kObsoletePrefix + o.raw);
  }
  return lines;
}

}  // namespace lngtool
