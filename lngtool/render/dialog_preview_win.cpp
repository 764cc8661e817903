// "lngtool preview": both dialogs created as the launcher creates them, from
// the active module's templates, run by the launcher's own dialog procedures
// (which hand every message to CommonDialogHandler first), with the catalog
// loaded by the launcher's own loader; each then captured from the screen
// into a PNG file.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/scoped_win.h"
#include "base/wide_bridge.h"
#include "lngtool/io/lngtool_platform.h"
#include "lngtool/io/text_form.h"
#include "lngtool/render/dialog_layout_check_win.h"
#include "lngtool/render/dialog_preview.h"
#include "lngtool/render/launcher_host_win.h"
#include "lngtool/render/layout_findings.h"
#include "lngtool/render/png_image.h"
#include "localization/layout_rect_win.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace lngtool {
namespace {
constexpr DWORD kSettleMilliseconds = 600;

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
  const LauncherDialog* dialog;
  std::vector<LayoutRect> marks;  // what the layout check finds, in client coordinates
};

// The marks moved from the dialog's client area to its window image.
std::vector<LayoutRect> InWindowImage(HWND dialog, const std::vector<LayoutRect>& marks) {
  RECT window;
  GetWindowRect(dialog, &window);
  std::vector<LayoutRect> moved;
  for (const LayoutRect& b : marks) {
    RECT r = {b.left, b.top, b.right, b.bottom};
    MapWindowPoints(dialog, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    const LayoutRect s = InOrder(ToLayout(r));
    moved.push_back(
        {s.left - window.left, s.top - window.top, s.right - window.left, s.bottom - window.top});
  }
  return moved;
}

bool Render(const PreviewDialog& d, const std::string& outDir, std::string* out, std::string* err) {
  HWND dialog = CreateDialogParamW(static_cast<HINSTANCE>(ActiveModule), AsWide(d.dialog->name),
                                   nullptr, d.dialog->procedure, 0);
  const std::string name = ToUtf8(d.dialog->name);
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

// Both dialogs with one catalog, into folder.
int PreviewCatalog(const std::string& catalog, const std::string& folder, std::string* out,
                   std::string* err) {
  std::vector<PreviewDialog> dialogs;
  for (const LauncherDialog& d : kLauncherDialogs) {
    dialogs.push_back({&d, {}});
  }
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(catalog, &bytes)) {
    for (PreviewDialog& d : dialogs) {
      d.marks = LayoutFindingPlaces(*d.dialog, bytes);
    }
  }
  TheCatalog.Unload();
  TheCatalog.ReadCatalogFile(FullPath(catalog).c_str());
  TheCatalog.DetectTextDirection();
  if (!TheCatalog.IsLoaded()) {
    // Pictures of the module's own texts would pass for the translation's.
    *err += "lngtool: the launcher loads no catalog from " + catalog + "; nothing rendered\n";
    return kExitFailure;
  }
  MakeDirectory(folder);
  bool all = true;
  for (const PreviewDialog& d : dialogs) {
    all = Render(d, folder, out, err) && all;
  }
  return all ? kExitFine : kExitFailure;
}
}  // namespace

int RunPreview(const PreviewRequest& request, std::string* out, std::string* err) {
  const std::vector<std::string> folders = PreviewFolders(request.outDir, request.catalogs);
  if (folders.empty()) {
    *err +=
        "lngtool: two catalogs would share a folder of pictures; give them names of their "
        "own\n";
    return kExitFailure;
  }
  if (!PrepareLauncher(request.program, request.languageModule, err)) {
    return kExitFailure;
  }
  if (request.catalogs.size() > 1) {
    MakeDirectory(request.outDir);
  }
  int status = kExitFine;
  for (size_t i = 0; i < folders.size(); ++i) {
    status = std::max(status, PreviewCatalog(request.catalogs[i], folders[i], out, err));
  }
  TheCatalog.Unload();
  return status;
}

}  // namespace lngtool
