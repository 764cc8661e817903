// The checker behind CheckCatalog, its checks kept by concern: the file's
// form (catalog_check_form.cpp), each entry (catalog_check_entries.cpp) and
// the translations against the program's texts (catalog_check_texts.cpp).
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_check.h"
#include "lngtool/io/text_form.h"

namespace lngtool {

// The finding of a translators' check, by its name.
Finding FindingOfCheck(const char* check);

// A count as the messages give it, in groups of three digits: 1,046,528.
std::string Grouped(uint64_t n);

class CatalogChecker {
 public:
  CatalogChecker(const CatalogFile& file, const std::vector<ProgramText>* texts,
                 const AnsiCodec& codec, uint32_t codePage, const CheckOptions& options)
      : file_(file), texts_(texts), codec_(codec), codePage_(codePage), options_(options) {}

  CheckReport Run();

 private:
  // Every finding but those of the checks turned off.
  void Add(Severity s, Finding what, uint32_t line, const std::string& message);
  void ReadHeaderSkips();

  std::string Describe(const ProgramText& t) const {
    std::string s = std::string(KindLetter(t.kind)) + " ";
    if (t.hasContext) {
      s += ToUtf8(t.context) + " ";
    }
    return s + Quoted(t.source);
  }

  // The marker, the encoding and the limits of what the launcher reads.
  void CheckMarker();
  void ExplainMissingMarker();
  void CheckFoundEncoding();
  void CheckMarkerLine(const BodyLine& markerLine);
  std::string FormName(CatalogForm form) const;
  std::string CodePageName() const;
  void CheckLimits();

  // Each line: keys, separators, quotes and escapes; keys given twice.
  void CheckLines();
  void CheckNonEntry(const BodyLine& l);
  void CheckKey(const BodyLine& l, const EntryShape& e);
  void CheckValueShape(const BodyLine& l, const EntryShape& e);
  void CheckDuplicates();

  // The translations against the program's texts.
  void IndexTexts();
  std::string WrongKeyHint(const std::string& key) const;
  void CheckProgramTexts();
  std::u16string Shown(const ProgramText& t) const;
  void CheckProgramText(const ProgramText& t);
  void CheckMeaning(const ProgramText& t, const std::u16string& shown, uint32_t line);
  void CheckLinks(const ProgramText& t, const std::u16string& shown, uint32_t line);
  void CheckFirstUsePage(const std::u16string& shown, uint32_t line);
  // The translators' checks (translator_checks.h).
  bool ShowsAccessKeys(const ProgramText& t) const;
  void CheckAgainstEnglish(const ProgramText& t, const std::u16string& shown, uint32_t line);
  void CheckSameAccessKeys();
  void CheckScale(const ProgramText& t, const std::u16string& shown, uint32_t line);
  void CheckInfoText();
  void CountCoverage();

  const CatalogFile& file_;
  const std::vector<ProgramText>* texts_;
  const AnsiCodec& codec_;
  uint32_t codePage_;
  const CheckOptions& options_;
  std::set<std::string> headerSkipped_;
  CheckReport report_;
  std::map<std::string, const ProgramText*> textsByKey_;
  std::map<std::string, std::string> wrongAs_;       // a wrong key: which text, formed how
  std::multimap<std::string, std::string> rightAs_;  // and how the launcher forms it
};

}  // namespace lngtool
