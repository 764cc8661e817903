#include "lngtool/catalog/catalog_check.h"

#include <algorithm>

#include "lngtool/catalog/catalog_checker.h"

namespace lngtool {

const char16_t kNoCheckPrefix[] = u"; No-Check:";

namespace {
struct NamedFinding {
  Finding what;
  const char* check;
};
constexpr NamedFinding kCheckNames[] = {
    {Finding::kLineBreaks, "newlines"},           {Finding::kStartBlank, "startwhitespace"},
    {Finding::kEndBlank, "endwhitespace"},        {Finding::kDoubleBlank, "doublespacing"},
    {Finding::kEndPunctuation, "endpunc"},        {Finding::kAccessKey, "accelerators"},
    {Finding::kSameAccessKey, "sameaccelerator"}, {Finding::kProductName, "names"},
    {Finding::kLinkTargetChanged, "urls"},
};
}  // namespace

const char* CheckName(Finding what) {
  for (const NamedFinding& n : kCheckNames) {
    if (n.what == what) return n.check;
  }
  return nullptr;
}

Finding FindingOfCheck(const char* check) {
  for (const NamedFinding& n : kCheckNames) {
    if (std::string(check) == n.check) return n.what;
  }
  return Finding::kUnknownCheck;
}

std::string Grouped(uint64_t n) {
  std::string digits = std::to_string(n);
  for (size_t at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, ",");
  }
  return digits;
}

void CatalogChecker::Add(Severity s, Finding what, uint32_t line, const std::string& message) {
  const char* check = CheckName(what);
  if (check == nullptr ||
      (options_.skipped.count(check) == 0 && headerSkipped_.count(check) == 0)) {
    report_.findings.push_back({s, what, line, message});
  }
}

// "; No-Check: endpunc, names" in the header turns checks off for the
// catalog's language, wherever the catalog is checked.
void CatalogChecker::ReadHeaderSkips() {
  const std::u16string prefix = kNoCheckPrefix;
  for (size_t i = 0; i < file_.header.size(); ++i) {
    const std::u16string& line = file_.header[i];
    if (line.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    std::string names = ToUtf8(line.substr(prefix.size()));
    for (char& c : names) {
      c = c == ',' ? ' ' : c;
    }
    size_t at = 0;
    while ((at = names.find_first_not_of(' ', at)) != std::string::npos) {
      const size_t end = std::min(names.find(' ', at), names.size());
      const std::string name = names.substr(at, end - at);
      if (IsTranslatorCheck(name)) {
        headerSkipped_.insert(name);
      } else {
        Add(Severity::kWarning, Finding::kUnknownCheck, static_cast<uint32_t>(i + 1),
            "the header turns off " + Quoted(FromUtf8(name)) + ", which is no check's name");
      }
      at = end;
    }
  }
}

CheckReport CatalogChecker::Run() {
  ReadHeaderSkips();
  CheckMarker();
  if (!file_.markerFound) {
    return std::move(report_);
  }
  IndexTexts();
  CheckLimits();
  CheckLines();
  CheckDuplicates();
  if (texts_ != nullptr) {
    CheckProgramTexts();
  } else {
    Add(Severity::kWarning, Finding::kNoModule, 0,
        "no program module was read: keys are not compared with the program's texts "
        "(give the module with --module, or place lngtool beside Launcher.exe)");
  }
  return std::move(report_);
}

bool CheckReport::HasErrors() const {
  for (const CheckFinding& f : findings) {
    if (f.severity == Severity::kError) {
      return true;
    }
  }
  return false;
}

size_t CheckReport::Count(Finding what) const {
  return static_cast<size_t>(std::count_if(
      findings.begin(), findings.end(), [what](const CheckFinding& f) { return f.what == what; }));
}

std::string CheckReport::Format(const std::string& fileName) const {
  std::vector<CheckFinding> sorted = findings;
  // By line, the file's own findings first and the coverage last.
  auto rank = [](const CheckFinding& f) {
    return f.what == Finding::kCoverage ? UINT32_MAX : f.line;
  };
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](const CheckFinding& a, const CheckFinding& b) { return rank(a) < rank(b); });
  std::string out;
  for (const CheckFinding& f : sorted) {
    const char* severity = f.severity == Severity::kError     ? "error"
                           : f.severity == Severity::kWarning ? "warning"
                                                              : "note";
    const char* check = CheckName(f.what);
    out += fileName + (f.line != 0 ? ":" + std::to_string(f.line) : std::string()) + ": " +
           severity + ": " + f.message +
           (check != nullptr ? std::string(" [") + check + "]" : std::string()) + "\n";
  }
  return out;
}

std::string StatisticsLine(const CheckReport& report) {
  auto count = [](uint32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string line = count(report.translated, "translated message", "translated messages");
  if (report.fuzzy != 0) {
    line += ", " + count(report.fuzzy, "fuzzy translation", "fuzzy translations");
  }
  if (report.untranslated != 0) {
    line += ", " + count(report.untranslated, "untranslated message", "untranslated messages");
  }
  return line + ".\n";
}

CheckReport CheckCatalog(const CatalogFile& file, const std::vector<ProgramText>* texts,
                         const AnsiCodec& codec, uint32_t codePage, const CheckOptions& options) {
  return CatalogChecker(file, texts, codec, codePage, options).Run();
}
}  // namespace lngtool
