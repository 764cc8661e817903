// "lngtool preview": both dialogs created as the launcher creates them, from
// the active module's templates, run by the launcher's own dialog procedures
// (which hand every message to CommonDialogHandler first), with the catalog
// loaded by the launcher's own loader; each then captured from the screen
// into a PNG file.
#include <windows.h>
// After <windows.h>, which it builds on.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/scoped_win.h"
#include "base/utf8.h"
#include "base/wide_bridge.h"
#include "launcher/offer_dialog_win.h"
#include "launcher/offer_flow.h"
#include "launcher/progress_info_dialog_win.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/render/dialog_preview.h"
#include "lngtool/render/dialog_preview_win.h"
#include "lngtool/render/png_image.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace lngtool {
namespace {
constexpr DWORD kSettleMilliseconds = 600;

}  // namespace

std::u16string FullPath(const std::string& path) {
  std::u16string given = Utf8ToUtf16(path.data(), path.size());
  wchar_t full[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(AsWide(given.c_str()), MAX_PATH * 4, full, nullptr);
  if (n == 0 || n >= MAX_PATH * 4) {
    return given;
  }
  return AsUtf16(full);
}

static HMODULE LoadDataModule(const std::string& path) {
  return LoadLibraryExW(AsWide(FullPath(path).c_str()), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

bool PrepareLauncher(const std::string& programPath, const std::string& languageModule,
                     std::string* err) {
  HMODULE program = LoadDataModule(programPath);
  if (program == nullptr) {
    *err += "lngtool: cannot load " + programPath + " (give the program with --program)\n";
    return false;
  }
  HMODULE language = nullptr;
  if (!languageModule.empty()) {
    language = LoadDataModule(languageModule);
    if (language == nullptr) {
      *err += "lngtool: cannot load " + languageModule + "\n";
      return false;
    }
  }
  // As after ResourceModule::Load: templates from the language module (no
  // fallback), strings and the icon from the program.
  OwnModule = program;
  ActiveModule = language != nullptr ? language : program;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LauncherIcon = LoadImageW(program, L"ZTKICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                            GetSystemMetrics(SM_CYICON), 0);
  return true;
}

namespace {

// Lets the dialog paint itself and its controls.
void Settle(HWND dialog) {
  RedrawWindow(dialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < kSettleMilliseconds) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(20);
  }
}

// The window's screen area, as shown: from the screen, so that mirroring,
// the frame and every child are exactly what a user would see.
bool Capture(HWND dialog, uint32_t* width, uint32_t* height, std::vector<uint8_t>* rgb) {
  RECT r;
  if (!GetWindowRect(dialog, &r)) {
    return false;
  }
  *width = static_cast<uint32_t>(r.right - r.left);
  *height = static_cast<uint32_t>(r.bottom - r.top);
  const ScopedGetDc screen(nullptr);
  const ScopedMemoryDc memory(screen.Get());
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(*width);
  info.bmiHeader.biHeight = -static_cast<LONG>(*height);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const ScopedGdiObject<HBITMAP> bitmap(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bool ok = false;
  if (bitmap.Get() != nullptr) {
    const ScopedSelectObject selected(memory.Get(), bitmap.Get());
    ok = BitBlt(memory.Get(), 0, 0, static_cast<int>(*width), static_cast<int>(*height),
                screen.Get(), r.left, r.top, SRCCOPY | CAPTUREBLT) != 0;
    GdiFlush();
    const uint8_t* bgra = static_cast<const uint8_t*>(bits);
    rgb->clear();
    for (size_t i = 0; ok && i < static_cast<size_t>(*width) * *height; ++i) {
      rgb->push_back(bgra[4 * i + 2]);
      rgb->push_back(bgra[4 * i + 1]);
      rgb->push_back(bgra[4 * i]);
    }
  }
  return ok;
}

struct PreviewDialog {
  const wchar_t* name;
  DLGPROC procedure;
  std::vector<LayoutRect> marks;  // what the layout check finds, in client coordinates
};

// The marks moved from the dialog's client area to its window image.
std::vector<LayoutRect> InWindowImage(HWND dialog, const std::vector<LayoutRect>& marks) {
  RECT window;
  GetWindowRect(dialog, &window);
  std::vector<LayoutRect> moved;
  for (const LayoutRect& b : marks) {
    RECT r = {b.left, b.top, b.right, b.bottom};
    // A mirrored dialog gives left and right back exchanged.
    MapWindowPoints(dialog, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    moved.push_back({std::min(r.left, r.right) - window.left, r.top - window.top,
                     std::max(r.left, r.right) - window.left, r.bottom - window.top});
  }
  return moved;
}

bool Render(const PreviewDialog& d, const std::string& outDir, std::string* out, std::string* err) {
  HWND dialog =
      CreateDialogParamW(static_cast<HINSTANCE>(ActiveModule), d.name, nullptr, d.procedure, 0);
  const std::string name = d.name == std::wstring(L"LAUNCHDLG") ? "LAUNCHDLG" : "INFODLG";
  if (dialog == nullptr) {
    *err += "lngtool: the dialog " + name + " cannot be created from the active module\n";
    return false;
  }
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  Settle(dialog);
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;
  const bool captured = Capture(dialog, &width, &height, &rgb);
  for (const LayoutRect& b : InWindowImage(dialog, d.marks)) {
    OutlineBox(&rgb, width, height, b);
  }
  RECT client = {};
  GetClientRect(dialog, &client);
  DestroyWindow(dialog);
  if (!captured) {
    *err += "lngtool: the dialog " + name + " could not be captured\n";
    return false;
  }
  const std::string path = outDir + "\\" + name + ".png";
  if (!WriteWholeFile(path, EncodePng(width, height, rgb))) {
    *err += "lngtool: cannot write " + path + "\n";
    return false;
  }
  *out += path + ": " + std::to_string(width) + " x " + std::to_string(height) + ", client " +
          std::to_string(client.right) + " x " + std::to_string(client.bottom) + "\n";
  return true;
}
}  // namespace

int RunPreview(const PreviewRequest& request, std::string* out, std::string* err) {
  if (!PrepareLauncher(request.program, request.languageModule, err)) {
    return kExitFailure;
  }
  PreviewDialog dialogs[] = {{L"LAUNCHDLG", OfferDialog, {}}, {L"INFODLG", ProgressInfoDialog, {}}};
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(request.catalog, &bytes)) {
    for (PreviewDialog& d : dialogs) {
      d.marks = LayoutFindingPlaces(d.name, bytes);
    }
  }
  TheCatalog.ReadCatalogFile(FullPath(request.catalog).c_str());
  TheCatalog.DetectTextDirection();
  if (!TheCatalog.IsLoaded()) {
    // Pictures of the module's own texts would pass for the translation's.
    *err +=
        "lngtool: the launcher loads no catalog from " + request.catalog + "; nothing rendered\n";
    return kExitFailure;
  }
  MakeDirectory(request.outDir);
  bool all = true;
  for (const PreviewDialog& d : dialogs) {
    all = Render(d, request.outDir, out, err) && all;
  }
  return all ? kExitFine : kExitFailure;
}

}  // namespace lngtool
