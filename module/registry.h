// Registry reads with a default. Keys are the platform's HKEY values.
#pragma once
#include <cstddef>
#include <cstdint>

using RegistryKey = void*;  // an HKEY on Windows
RegistryKey RegistryCurrentUser();
RegistryKey RegistryLocalMachine();

// Pure text: sub-key paths under HKEY_CURRENT_USER are relative to the
// product's key unless they begin with a backslash.
bool MapProductKeyPath(RegistryKey root, const char16_t* sub, char16_t* dst, size_t cap);
RegistryKey OpenRegistryKey(RegistryKey root, const char16_t* sub);
bool CloseRegistryKey(RegistryKey key);
bool ReadRegistryString(RegistryKey root, const char16_t* sub, const char16_t* value, char16_t* dst,
                        const char16_t* defaultText, uint32_t cap);
