// The desktop shell's own ShellExecute, reached from the desktop window's
// view: the shell's process starts the target, as the user who runs it.
// clang-format off
#include <windows.h>  // before the other platform headers, which need its types
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
// clang-format on

#include "base/desktop_shell_win.h"

#include "base/scoped_win.h"
#include "base/wide_bridge.h"

namespace {

// The two identifiers that are no interface's own, spelt here so that the
// program does not link the platform's whole GUID library for them; the
// interfaces' identifiers come with their declarations (__uuidof).
constexpr CLSID kShellWindowsClass = {
    0x9ba05972, 0xf6a8, 0x11cf, {0xa4, 0x42, 0x00, 0xa0, 0xc9, 0x0a, 0x8f, 0x39}};
constexpr GUID kTopLevelBrowserService = {
    0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};

// The desktop's shell application object: window list, the desktop's
// browser, its active view, that view's background object, its Application.
bool FindDesktopShell(ScopedComPtr<IShellDispatch2>* shell) {
  ScopedComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(kShellWindowsClass, nullptr, CLSCTX_LOCAL_SERVER, windows.Id(),
                              windows.OutVoid()))) {
    return false;
  }
  VARIANT none;
  VariantInit(&none);
  long window = 0;  // NOLINT(google-runtime-int): the interface's own type
  ScopedComPtr<IDispatch> desktop;
  if (windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Out()) !=
          S_OK ||
      desktop.Get() == nullptr) {
    return false;
  }
  ScopedComPtr<IServiceProvider> provider;
  ScopedComPtr<IShellBrowser> browser;
  ScopedComPtr<IShellView> view;
  ScopedComPtr<IDispatch> background;
  ScopedComPtr<IShellFolderViewDual> folderView;
  ScopedComPtr<IDispatch> application;
  return SUCCEEDED(desktop->QueryInterface(provider.Id(), provider.OutVoid())) &&
         SUCCEEDED(
             provider->QueryService(kTopLevelBrowserService, browser.Id(), browser.OutVoid())) &&
         SUCCEEDED(browser->QueryActiveShellView(view.Out())) &&
         SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, background.Id(), background.OutVoid())) &&
         SUCCEEDED(background->QueryInterface(folderView.Id(), folderView.OutVoid())) &&
         SUCCEEDED(folderView->get_Application(application.Out())) &&
         application.Get() != nullptr &&
         SUCCEEDED(application->QueryInterface(shell->Id(), shell->OutVoid()));
}

}  // namespace

bool WinOpenWithDesktopShell(const char16_t* target, uint16_t show) {
  ScopedComPtr<IShellDispatch2> shell;
  if (!FindDesktopShell(&shell)) return false;
  const ScopedBstr file(AsWide(target));
  const ScopedBstr verb(L"open");
  if (file.Get() == nullptr || verb.Get() == nullptr) return false;
  VARIANT none;
  VariantInit(&none);
  VARIANT operation;
  VariantInit(&operation);
  operation.vt = VT_BSTR;
  operation.bstrVal = verb.Get();
  VARIANT showCommand;
  VariantInit(&showCommand);
  showCommand.vt = VT_I4;
  showCommand.lVal = show;
  return SUCCEEDED(shell->ShellExecute(file.Get(), none, none, operation, showCommand));
}
