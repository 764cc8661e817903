// A system call looked up by name: for calls that not every supported system
// has, and for those the program must not import. Only the Win32 edge
// includes this header.
#pragma once
#include <windows.h>

// The call, or null when the module or the call is missing.
template <typename Function>
Function CallByName(HMODULE module, const char* name) {
  const FARPROC entry = module != nullptr ? GetProcAddress(module, name) : nullptr;
  // Through void*: the two function pointer types are unrelated.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

// From a module the process has loaded already (kernel32, user32).
template <typename Function>
Function CallByName(const wchar_t* module, const char* name) {
  return CallByName<Function>(GetModuleHandleW(module), name);
}
