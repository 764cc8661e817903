#include "lngtool/render/launcher_host_win.h"
// After <windows.h>, which it builds on.
#include <commctrl.h>

#include "base/utf8.h"
#include "base/wide_bridge.h"
#include "launcher/offer_dialog_win.h"
#include "launcher/offer_flow.h"
#include "launcher/progress_info_dialog_win.h"
#include "lngtool/io/text_form.h"
#include "localization/layout_rect_win.h"
#include "localization/localize_dialog.h"
#include "localization/message_catalog.h"
#include "module/resource_module.h"

namespace lngtool {
namespace {
constexpr int kTextCapacity = 1024;
// Where a dialog being initialised keeps its record, for the messages its
// initialisation sends.
constexpr wchar_t kRecordProperty[] = L"lngtool.TemplateRecord";

HMODULE LoadDataModule(const std::string& path) {
  return LoadLibraryExW(AsWide(FullPath(path).c_str()), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

void RecordGeometry(HWND dialog, TemplateGeometry* geometry) {
  geometry->controls.clear();
  RECT window{};
  RECT client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  geometry->window = ToLayout(window);
  geometry->client = ToLayout(client);
  geometry->self = RectInClient(dialog, dialog);
  geometry->centered = (GetWindowLongPtrW(dialog, GWL_STYLE) & DS_CENTER) != 0;
  for (HWND c = GetWindow(dialog, GW_CHILD);
       c != nullptr && geometry->controls.size() < kMostControls; c = GetWindow(c, GW_HWNDNEXT)) {
    geometry->controls.push_back(RectInClient(c, dialog));
  }
}

// Records the template's texts and geometry into the TemplateRecord that
// OpenDialog hands over as WM_INITDIALOG's lParam, then hands every message
// on to the launcher's procedure as the launcher would (WM_INITDIALOG with its
// own lParam, 0). The launcher's procedure may change controls (a logo at the
// display's scale) before it rescales the dialog, whose first resizing then
// shows the geometry the rescaling starts from: recorded again there.
INT_PTR Record(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DLGPROC inner) {
  if (message == WM_INITDIALOG && lParam != 0) {
    auto* record = reinterpret_cast<TemplateRecord*>(lParam);
    record->title = WindowText(dialog);
    record->texts.clear();
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && record->texts.size() < kMostControls;
         c = GetWindow(c, GW_HWNDNEXT)) {
      record->texts.push_back(WindowText(c));
    }
    RecordGeometry(dialog, &record->geometry);
    SetPropW(dialog, kRecordProperty, record);
    const INT_PTR result = inner(dialog, message, wParam, 0);
    RemovePropW(dialog, kRecordProperty);
    return result;
  }
  if (message == WM_WINDOWPOSCHANGING) {
    auto* record = static_cast<TemplateRecord*>(GetPropW(dialog, kRecordProperty));
    if (record != nullptr) {
      RecordGeometry(dialog, &record->geometry);  // before the change
      RemovePropW(dialog, kRecordProperty);
    }
  }
  return inner(dialog, message, wParam, lParam);
}

template <DLGPROC Inner>
INT_PTR CALLBACK Recording(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Record(dialog, message, wParam, lParam, Inner);
}

void Drain() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
}  // namespace

const LauncherDialog kLauncherDialogs[2] = {
    {kDialogNames[0], OfferDialog, Recording<OfferDialog>},
    {kDialogNames[1], ProgressInfoDialog, Recording<ProgressInfoDialog>}};
static_assert(sizeof kDialogNames / sizeof kDialogNames[0] == 2, "a procedure for each dialog");

std::u16string FullPath(const std::string& path) {
  std::u16string given = Utf8ToUtf16(path.data(), path.size());
  wchar_t full[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(AsWide(given.c_str()), MAX_PATH * 4, full, nullptr);
  if (n == 0 || n >= MAX_PATH * 4) {
    return given;
  }
  return AsUtf16(full);
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
  LauncherIcon = LoadImageW(program, AsWide(kLauncherIconName), IMAGE_ICON,
                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0);
  return true;
}

void UseCatalog(const std::vector<uint8_t>* bytes) {
  TheCatalog.Unload();
  if (bytes != nullptr) {
    TheCatalog.LoadFromBytes(bytes->data(), bytes->size());
    TheCatalog.DetectTextDirection();
  }
}

bool OpenDialog(const LauncherDialog& dialog, const std::vector<uint8_t>* bytes,
                OpenedDialog* opened, std::string* err) {
  UseCatalog(bytes);
  opened->record = TemplateRecord();
  opened->window =
      CreateDialogParamW(static_cast<HINSTANCE>(ActiveModule), AsWide(dialog.name), nullptr,
                         dialog.recording, reinterpret_cast<LPARAM>(&opened->record));
  if (opened->window == nullptr) {
    *err += "lngtool: the dialog " + ToUtf8(dialog.name) +
            " cannot be created from the active module\n";
    return false;
  }
  return true;
}

void CloseDialog(HWND dialog) {
  DestroyWindow(dialog);
  Drain();
}

std::u16string WindowText(HWND window) {
  wchar_t text[kTextCapacity] = {};
  GetWindowTextW(window, text, kTextCapacity);
  return AsUtf16(text);
}

std::string ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return ToUtf8(AsUtf16(name));
}

}  // namespace lngtool
