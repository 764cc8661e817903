// The checks translators' own tools make, comparing a translation with its
// English text: line breaks and blanks at either end, doubled blanks, the
// ending punctuation, access keys and product names. Each has a short name a
// translator can turn off for a language where it does not fit.
#pragma once
#include <string>
#include <vector>

namespace lngtool {

struct TranslatorCheck {
  const char* name;
  const char* what;
};

// Every check's name with what it finds, for help and for --no-check.
const std::vector<TranslatorCheck>& TranslatorChecks();
bool IsTranslatorCheck(const std::string& name);

// "Zentak" and "Baidu Antivirus": names a translation keeps as they are.
std::vector<std::u16string> DefaultProductNames();

struct TextFault {
  const char* check;  // one of TranslatorChecks()
  std::string message;
};

struct TextPlace {
  bool accessKeys = false;  // the control shows '&' as an access key
  const std::vector<std::u16string>* productNames = nullptr;
};

// What the translation does otherwise than the English text, by check.
std::vector<TextFault> CompareWithEnglish(const std::u16string& english,
                                          const std::u16string& translation,
                                          const TextPlace& place);

// The access key a text gives its control: the character after its first
// single '&' ("&&" is an ampersand), upper-cased for ASCII; 0 when none.
char16_t AccessKey(const std::u16string& text);

}  // namespace lngtool
