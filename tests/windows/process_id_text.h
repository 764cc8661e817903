// The test process's id as text, for registry keys and files that tests
// running side by side must not share.
#pragma once
#include <windows.h>

#include <string>

inline std::u16string Pid() {
  std::u16string text;
  for (char c : std::to_string(GetCurrentProcessId())) {
    text += static_cast<char16_t>(c);
  }
  return text;
}
