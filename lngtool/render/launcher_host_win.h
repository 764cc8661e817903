// The launcher hosted in lngtool, for the preview and the layout check alike:
// its modules, catalog and common controls set up as the launcher sets them
// up, and its dialogs created by its own dialog procedures, so that
// CommonDialogHandler translates, mirrors and rescales them as it does there.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lngtool/program/program_texts.h"
#include "localization/dialog_layout.h"

namespace lngtool {

// The loader takes a name with a backslash as the path itself.
std::u16string FullPath(const std::string& path);

// The program (strings, icon) and the dialogs' module (the language module,
// or the program) loaded as data and made the launcher's own and active
// modules; the link control's class registered.
bool PrepareLauncher(const std::string& programPath, const std::string& languageModule,
                     std::string* err);

// The catalog of bytes made the launcher's, its reading order detected; none
// when bytes is null.
void UseCatalog(const std::vector<uint8_t>* bytes);

struct LauncherDialog {
  const char16_t* name;  // the template's, and its texts' context in the catalog
  DLGPROC procedure;     // the launcher's own
  DLGPROC recording;     // the same, recording what the template gave (OpenDialog)
};
// The dialogs of kDialogNames, in its order, with their procedures.
extern const LauncherDialog kLauncherDialogs[2];

// The geometry the launcher's rescaling starts from, before it runs: what
// every candidate scale of a fit is computed from again.
struct TemplateGeometry {
  LayoutRect window{};
  LayoutRect client{};
  LayoutRect self{};  // the dialog's own window rectangle in its client coordinates
  bool centered = false;
  std::vector<LayoutRect> controls;
};

// What the template gave before the launcher's procedure changed it: the
// texts LocalizeDialog looks up, and the geometry.
struct TemplateRecord {
  std::u16string title;
  std::vector<std::u16string> texts;  // the controls', in template order
  TemplateGeometry geometry;
};

struct OpenedDialog {
  HWND window = nullptr;
  TemplateRecord record;
};

// The dialog as the launcher creates it with the catalog of bytes (null: the
// module's own texts), kept open; false, with a message, when the active
// module cannot make it.
bool OpenDialog(const LauncherDialog& dialog, const std::vector<uint8_t>* bytes,
                OpenedDialog* opened, std::string* err);
// Destroys the dialog and handles what its destruction posted.
void CloseDialog(HWND dialog);

// The window's text, and its class's name.
std::u16string WindowText(HWND window);
std::string ClassName(HWND window);

}  // namespace lngtool
