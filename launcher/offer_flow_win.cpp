// The launcher's one pass from entry to exit: prepare, decide whether to
// offer the partner product, open the program group, hand over self-removal.
// clang-format off
#include <windows.h>  // before the other platform headers, which need its types
#include <commctrl.h>
#include <shlobj.h>
// clang-format on

#include "base/environment.h"
#include "base/file_system.h"
#include "base/own_path.h"
#include "base/path_text.h"
#include "base/scoped_win.h"
#include "base/system_calls.h"
#include "base/wide_bridge.h"
#include "launcher/display_scale_win.h"
#include "launcher/installer_and_cleanup.h"
#include "launcher/offer_dialog_win.h"
#include "launcher/offer_flow.h"
#include "launcher/self_removal.h"
#include "launcher/shell_open.h"
#include "launcher/silent_switch.h"
#include "localization/fetch_string.h"
#include "localization/message_catalog.h"
#include "module/registry.h"
#include "resources/resource_ids.h"

char16_t InstallerPath[kPathCapacity];
void* LauncherIcon = nullptr;

namespace {

constexpr char16_t kPartnerKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Baidu Antivirus";
constexpr char16_t kPartnerKey32[] =
    u"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Baidu Antivirus";

void InitLinkControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LINK_CLASS;
  InitCommonControlsEx(&controls);
}

HICON LoadLauncherIcon() {
  HICON icon = LoadIconAtScale(static_cast<HMODULE>(ActiveModule), AsWide(kLauncherIconName));
  if (icon == nullptr && ActiveModule != OwnModule) {
    icon = LoadIconAtScale(static_cast<HMODULE>(OwnModule), AsWide(kLauncherIconName));
  }
  return icon;
}

bool ReadSilentSwitch() {
  char16_t commandLine[kSetupCommandCapacity];
  ReadEnvironmentText(u"sfxcmd", commandLine, kSetupCommandCapacity);
  return ScanSilentSwitch(commandLine);
}

// The partner counts as installed when either view of its uninstall key
// names an install folder; the folder itself is not examined.
void DetectPartner(char16_t* installDir) {
  ReadRegistryString(RegistryLocalMachine(), kPartnerKey, u"InstallDir", installDir, u"",
                     kPathCapacity);
  if (installDir[0] == 0) {
    ReadRegistryString(RegistryLocalMachine(), kPartnerKey32, u"InstallDir", installDir, u"",
                       kPathCapacity);
  }
}

void RunOfferDialog() {
  DialogBoxParamW(static_cast<HINSTANCE>(ActiveModule), AsWide(kOfferDialogName), nullptr,
                  OfferDialog, 0);
}

// False when the shell cannot name the user's Programs folder.
bool ReadProgramsFolder(char16_t* dst) {
  dst[0] = 0;
  ScopedComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out())) || allocator.Get() == nullptr) {
    return false;
  }
  LPITEMIDLIST items = nullptr;
  bool found = false;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &items)) && items != nullptr) {
    found = SHGetPathFromIDListW(items, AsWide(dst)) != FALSE && dst[0] != 0;
    allocator->Free(items);
  }
  return found;
}

void OpenProgramGroup() {
  char16_t group[kPathCapacity];
  if (!ReadProgramsFolder(group)) {
    return;
  }
  AppendBackslash(group, kPathCapacity);
  AppendBounded(group, u"Zentak", kPathCapacity);
  // Only a folder: a file of that name in the user's own Start menu could be
  // any program, which must not run with the launcher's rights.
  if (IsFolder(group)) {
    OpenAsUser(group, ShellShow::kNormal);
  }
}

// The own path with the installer's name, or empty when either is unusable:
// then nothing is offered, run or deleted.
void ComposeInstallerPathFromOwnPath() {
  if (!OwnExecutablePath(InstallerPath, kPathCapacity)) return;
  const bool fromLanguageFolder =
      TheCatalog.FromLanguageFolder() || TheResourceModule.fromLanguageFolder;
  ComposeInstallerPath(InstallerPath,
                       InstallerName(fromLanguageFolder, FetchString, FetchBuiltInString));
}

}  // namespace

void HardenDllSearchPath() {
  // From here on a DLL loaded by name comes from the system folder only, never
  // from the launcher's folder or the current directory.
  Sys.setDefaultDllDirectories(procapi::kSearchSystem32);
  Sys.setDllDirectory(u"");
}

int OfferFlow(ModuleHandle own) {
  // First: COM and the common controls load DLLs by name.
  HardenDllSearchPath();
  // Pages and the program group go through the user's desktop shell, a COM
  // server; one apartment serves the whole run.
  const ScopedComApartment apartment;
  // Before any COM call: no object the desktop shell (a less trusted
  // process) hands back may unmarshal itself with its own code in here. A
  // refusal is ignored, like other failed platform calls of the flow.
  Sys.coInitializeSecurity();
  InitLinkControls();
  TheResourceModule.Load(own, nullptr);
  // Before the first fetch: the catalog may rename the installer.
  TheCatalog.LoadCatalog(u"launcher.lng");

  ComposeInstallerPathFromOwnPath();
  LauncherIcon = LoadLauncherIcon();
  const bool silent = ReadSilentSwitch();
  char16_t partnerInstallDir[kPathCapacity];
  DetectPartner(partnerInstallDir);

  if (!PathExists(InstallerPath) || partnerInstallDir[0] != 0 || silent) {
    RemoveFile(InstallerPath);
  } else {
    RunOfferDialog();
  }
  if (!silent) {
    OpenProgramGroup();
  }

  if (LauncherIcon != nullptr) DestroyIcon(static_cast<HICON>(LauncherIcon));
  SelfRemoval();
  return 0;
}
