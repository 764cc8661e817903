#include "launcher/silent_switch.h"

#include "base/bounded_text.h"

namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Skips a quoted program name, but only when its closing quote exists: an
// unpartnered quote is scanned like any other unit.
const char16_t* ScanStart(const char16_t* text) {
  if (text[0] != u'"') {
    return text;
  }
  for (const char16_t* p = text + 1; *p != 0; ++p) {
    if (*p == u'"') {
      return p + 1;
    }
  }
  return text;
}

}  // namespace

bool ScanSilentSwitch(const char16_t* commandLine) {
  for (const char16_t* p = ScanStart(commandLine); *p != 0; ++p) {
    if (*p != u'-' && *p != u'/') {
      continue;
    }
    // p[1] is at worst the terminator; p[2] is read only behind an 's'.
    if (UpperCaseChar(p[1]) == u'S' && !IsAsciiLetter(p[2])) {
      return true;
    }
  }
  return false;
}
