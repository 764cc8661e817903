#include "lngtool/catalog/catalog_checker.h"
#include "lngtool/catalog/catalog_writer.h"
#include "localization/catalog_text.h"

namespace lngtool {
namespace {
constexpr size_t kListedLosses = 20;
// The loader's search finds a marker that begins within this many bytes.
constexpr uint64_t kMarkerReach =
    static_cast<uint64_t>(kMarkerChunkLimit) * (kMarkerChunkBytes - kMarkerChunkOverlap);
}  // namespace

void CatalogChecker::CheckMarker() {
  if (!file_.markerFound) {
    ExplainMissingMarker();
    return;
  }
  const std::vector<BodyLine>& lines = file_.lines;
  Add(Severity::kNote, Finding::kMarker, lines.empty() ? 0 : lines[0].fileLine,
      "marker at byte " + std::to_string(file_.markerPosition) + ", " + FormName(file_.form) +
          (file_.form == CatalogForm::kAnsi ? " read in code page " + CodePageName() : ""));
  CheckFoundEncoding();
  if (!lines.empty()) {
    CheckMarkerLine(lines[0]);
  }
}

// Why the launcher finds no marker, where the file says.
void CatalogChecker::ExplainMissingMarker() {
  Add(Severity::kError, Finding::kNoMarker, 0,
      "no marker line: the launcher ignores the whole file (the catalog begins with a line "
      "starting with " +
          ToUtf8(kMarkerLine) + ")");
  if (file_.unreachedMarker >= 0) {
    Add(Severity::kError, Finding::kMarkerUnreached, 0,
        "there is a marker at byte " + std::to_string(file_.unreachedMarker) + " (" +
            FormName(file_.unreachedForm) +
            "), but the launcher's search does not reach it: it looks at the first " +
            Grouped(kMarkerReach) + " bytes only; move the marker to the top of the file");
  }
  if (file_.bigEndian) {
    Add(Severity::kError, Finding::kEncoding, 0,
        "the file is UTF-16 big-endian, which the launcher does not read: save it as UTF-16 "
        "LE");
  }
  if (file_.markerInOtherCase >= 0) {
    Add(Severity::kError, Finding::kMarkerCase, 0,
        "byte " + std::to_string(file_.markerInOtherCase) +
            " holds the marker in other letters' case: only " + ToUtf8(kMarkerLine) +
            " in lower case is recognised");
  }
}

// A marker was found, but the text around it is in a form the launcher garbles.
void CatalogChecker::CheckFoundEncoding() {
  const uint32_t line = file_.lines.empty() ? 0 : file_.lines[0].fileLine;
  if (file_.bigEndian) {
    Add(Severity::kError, Finding::kEncoding, line,
        "the file is UTF-16 big-endian: the launcher finds the marker one byte off and reads "
        "ASCII text right by chance, but garbles every other character; save it as UTF-16 LE "
        "(lngtool convert does)");
  }
  if (file_.form == CatalogForm::kAnsi && file_.looksLikeUtf8) {
    Add(Severity::kError, Finding::kEncoding, line,
        "the file looks like UTF-8, but the launcher reads an 8-bit file in the system's ANSI "
        "code page: letters outside ASCII will be garbled and keys of such texts will not "
        "match; save it as UTF-16 LE (lngtool convert does)");
  }
}

// The scan over every line starts at the marker itself, so nothing after
// the marker on its own line can be reached.
void CatalogChecker::CheckMarkerLine(const BodyLine& markerLine) {
  const std::u16string& marker = markerLine.text;
  for (size_t i = 13; i + 10 <= marker.size(); ++i) {
    if (LooksLikeKey(marker.substr(i)) && marker[i + 8] == u'=' && marker[i + 9] == u'"') {
      Add(Severity::kError, Finding::kEntryOnMarkerLine, markerLine.fileLine,
          "the entry " + ToUtf8(marker.substr(i, 8)) +
              " stands on the marker line, which never holds an entry: put it on a line of "
              "its own");
      return;
    }
  }
}

std::string CatalogChecker::FormName(CatalogForm form) const {
  return form == CatalogForm::kUtf16 ? "UTF-16 LE form" : "8-bit form";
}

std::string CatalogChecker::CodePageName() const {
  return codePage_ == 0 ? "of the system" : std::to_string(codePage_);
}

void CatalogChecker::CheckLimits() {
  const std::vector<BodyLine>& lines = file_.lines;
  size_t firstLost = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].kept) {
      firstLost = i;
      break;
    }
  }
  std::vector<size_t> lost;
  for (size_t i = firstLost; i < lines.size(); ++i) {
    if (ReadEntryShape(lines[i]).isEntry) {
      lost.push_back(i);
    }
  }
  if (file_.hasNul) {
    // Padding after the last entry costs nothing; entries after it do.
    Add(lost.empty() ? Severity::kWarning : Severity::kError, Finding::kNulEnds, file_.nulLine,
        "a NUL character ends the catalog text here: nothing after it is read");
  }
  if (firstLost == lines.size()) {
    return;
  }
  if (!file_.hasNul || lines[firstLost].cut) {
    Add(lost.empty() ? Severity::kWarning : Severity::kError, Finding::kBodyCut,
        lines[firstLost].fileLine,
        "the catalog is cut here: the launcher reads " + Grouped(kBodyReadBytes) +
            " bytes from the marker on (this body has " + std::to_string(file_.bodyBytes) +
            ") and keeps " + Grouped(kMaxCatalogUnits) + " characters; " +
            std::to_string(lost.size()) + " entries from here on are lost");
  }
  for (size_t k = 0; k < lost.size() && k < kListedLosses; ++k) {
    const BodyLine& l = lines[lost[k]];
    const EntryShape e = ReadEntryShape(l);
    std::string what = "entry " + ToUtf8(e.key);
    const auto known = textsByKey_.find(ToUtf8(LowerKey(e.key)));
    if (known != textsByKey_.end()) {
      what += " (" + Describe(*known->second) + ")";
    }
    Add(Severity::kError, Finding::kEntryLost, l.fileLine,
        what + (l.cut ? " is cut short" : " is lost"));
  }
  if (lost.size() > kListedLosses) {
    Add(Severity::kError, Finding::kEntryLost, lines[lost[kListedLosses]].fileLine,
        "and " + std::to_string(lost.size() - kListedLosses) + " more entries are lost");
  }
}

}  // namespace lngtool
