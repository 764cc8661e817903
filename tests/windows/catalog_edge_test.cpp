// The catalog on real Windows calls: the program's own path, the "RTL"
// dialog marker in the active module, and catalog files opened for real.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/own_path.h"
#include "base/wide_bridge.h"
#include "localization/message_catalog.h"
#include "localization/rtl_resource_probe.h"
#include "module/resource_module.h"

namespace {
std::wstring OwnPath() {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return path;
}

std::wstring Beside(const std::wstring& name) {
  const std::wstring own = OwnPath();
  return own.substr(0, own.rfind(L'\\') + 1) + name;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
}

std::u16string Translated(const MessageCatalog& catalog) {
  char16_t result[64];
  catalog.Translate(u"OK", result, 64, kDialogText, u"INFODLG");
  return result;
}

const std::string kCatalog = "***messages***\r\nad441f3e=\"Gut\"\r\n";

TEST(CatalogEdge, OwnExecutablePath) {
  char16_t path[2048];
  ASSERT_TRUE(OwnExecutablePath(path, 2048));
  EXPECT_EQ(std::wstring(AsWide(path)), OwnPath());
  EXPECT_NE(std::wstring(AsWide(path)).find(L"windows_catalog_edge_test.exe"), std::wstring::npos);
  char16_t tight[8];
  EXPECT_FALSE(OwnExecutablePath(tight, 8));
  EXPECT_EQ(tight[0], 0);
}

// A data-file module carrying a dialog named "RTL": a copy of this program
// with the resource added.
TEST(CatalogEdge, RtlDialogInTheActiveModule) {
  const ModuleHandle saved = ActiveModule;
  ActiveModule = GetModuleHandleW(nullptr);
  EXPECT_FALSE(ActiveModuleHasRtlDialog());

  const std::wstring copy = Beside(L"catalog_edge_rtl.dll");
  ASSERT_TRUE(CopyFileW(OwnPath().c_str(), copy.c_str(), FALSE));
  HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
  ASSERT_NE(update, nullptr);
  // DLGTEMPLATE, then empty menu, class and title arrays.
  const WORD dialog[] = {0x0000, 0x80C8, 0, 0, 0, 0, 0, 0, 10, 10, 0, 0, 0};
  ASSERT_TRUE(UpdateResourceW(update, RT_DIALOG, L"RTL", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                              const_cast<WORD*>(dialog), sizeof dialog));
  ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
  HMODULE module = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  ActiveModule = module;
  EXPECT_TRUE(ActiveModuleHasRtlDialog());
  MessageCatalog catalog;
  catalog.DetectTextDirection();  // without a catalog the marker alone decides
  EXPECT_TRUE(catalog.RightToLeft());

  ActiveModule = saved;
  FreeLibrary(module);
  DeleteFileW(copy.c_str());
}

TEST(CatalogEdge, BareNameIsReadBesideTheProgram) {
  const std::wstring path = Beside(L"catalog_edge_test.lng");
  WriteBytes(path, kCatalog);
  MessageCatalog catalog;
  catalog.ReadCatalogFile(u"catalog_edge_test.lng");
  EXPECT_TRUE(catalog.IsLoaded());
  EXPECT_EQ(Translated(catalog), u"Gut");
  // The whole file is in memory: it can go while the catalog lives on.
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_EQ(Translated(catalog), u"Gut");
}

TEST(CatalogEdge, FileHeldByAnotherHandle) {
  const std::wstring path = Beside(L"catalog_edge_held.lng");
  WriteBytes(path, kCatalog);
  const struct {
    DWORD access, share;
    bool loads;
  } cases[] = {
      {GENERIC_READ, 0, false},                // locked without sharing
      {GENERIC_WRITE, FILE_SHARE_READ, true},  // open for writing elsewhere
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
  };
  for (const auto& c : cases) {
    HANDLE held = CreateFileW(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    MessageCatalog catalog;
    catalog.ReadCatalogFile(AsUtf16(path.c_str()));
    EXPECT_EQ(catalog.IsLoaded(), c.loads) << c.access << " " << c.share;
    CloseHandle(held);
  }
  // A folder of that name is opened by nobody.
  DeleteFileW(path.c_str());
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  MessageCatalog folder;
  folder.ReadCatalogFile(AsUtf16(path.c_str()));
  EXPECT_FALSE(folder.IsLoaded());
  RemoveDirectoryW(path.c_str());
}
}  // namespace
