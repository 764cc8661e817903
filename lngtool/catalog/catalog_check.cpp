#include "lngtool/catalog/catalog_check.h"

#include <algorithm>

#include "lngtool/catalog/catalog_checker.h"

namespace lngtool {

std::string Grouped(uint64_t n) {
  std::string digits = std::to_string(n);
  for (size_t at = digits.size(); at > 3; at -= 3) {
    digits.insert(at - 3, ",");
  }
  return digits;
}

CheckReport CatalogChecker::Run() {
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
    out += fileName + (f.line != 0 ? ":" + std::to_string(f.line) : std::string()) + ": " +
           severity + ": " + f.message + "\n";
  }
  return out;
}

CheckReport CheckCatalog(const CatalogFile& file, const std::vector<ProgramText>* texts,
                         const AnsiCodec& codec, uint32_t codePage) {
  return CatalogChecker(file, texts, codec, codePage).Run();
}
}  // namespace lngtool
