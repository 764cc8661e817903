// Environment variables, read whole.
#pragma once
#include <cstdint>

// The buffer ends up empty when the variable is absent or does not fit: a
// cut value would be a different value.
void ReadEnvironmentText(const char16_t* name, char16_t* dst, uint32_t cap);
