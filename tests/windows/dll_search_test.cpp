// The DLL search hardening against the real loader, in a program of its own:
// the hardening cannot be undone within a process.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/offer_flow.h"

namespace {

// dll_search_probe.dll lies beside this program and no system has a DLL of
// that name: found before the hardening, only the program's folder held it.
TEST(HardenDllSearchPath, ADllBesideTheProgramNoLongerLoads) {
  HMODULE before = LoadLibraryW(L"dll_search_probe.dll");
  ASSERT_NE(before, nullptr);
  FreeLibrary(before);

  HardenDllSearchPath();
  HMODULE after = LoadLibraryW(L"dll_search_probe.dll");
  EXPECT_EQ(after, nullptr);
  if (after != nullptr) FreeLibrary(after);
  // A system DLL by name still loads.
  HMODULE system = LoadLibraryW(L"version.dll");
  EXPECT_NE(system, nullptr);
  if (system != nullptr) FreeLibrary(system);
}

}  // namespace
