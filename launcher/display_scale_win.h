// The launcher's images at the display's scale: a dialog's logo, the icon. The manifest declares
// the process DPI-aware, so Windows does not stretch the dialogs: a logo left at its 96-DPI size
// would shrink against the text around it. Only the Win32 edge includes this header.
#pragma once
#include <windows.h>

// The DPI the dialog is shown at: GetDpiForWindow where the system has it,
// else the screen's LOGPIXELSX.
UINT DisplayDpi(HWND window);

// The icon group `name` of module at the system's icon size for the display
// (SM_CXICON at its DPI), or null; DestroyIcon frees it.
HICON LoadIconAtScale(HMODULE module, const wchar_t* name);

// Owns the bitmap it gives a dialog's logo control, and gives the control its
// own bitmap back (at WM_DESTROY, or when it goes).
class ScaledLogo {
 public:
  ScaledLogo() = default;
  ~ScaledLogo() { Restore(); }
  ScaledLogo(const ScaledLogo&) = delete;
  ScaledLogo& operator=(const ScaledLogo&) = delete;
  ScaledLogo(ScaledLogo&&) = delete;
  ScaledLogo& operator=(ScaledLogo&&) = delete;

  // The dialog's first bitmap control shows the logo `name` of module (the
  // module its template came from) drawn for dpi: the variant "name_NNN" of
  // that scale, else the next larger one scaled down smoothly, else the
  // control's own bitmap scaled. Nothing changes at 96 DPI.
  void Show(HWND dialog, HMODULE module, const wchar_t* name, UINT dpi);
  void Restore();

  // The control whose image was replaced; null when none was.
  HWND Control() const { return control_; }

 private:
  HWND control_ = nullptr;
  HBITMAP own_ = nullptr;    // the template's, handed back on Restore
  HBITMAP shown_ = nullptr;  // ours
};

// For a dialog procedure, ahead of the common handler: at WM_INITDIALOG the
// logo from the dialog's module (ActiveModule) at the display's scale, so
// that a catalog's rescaling then works on it as on the template's; at
// WM_DESTROY the control's own bitmap back. Each dialog keeps its own (a
// window property): lngtool opens several of one template at once. A second
// WM_INITDIALOG call does nothing, so a tool that records the controls'
// places before the procedure runs can show the logo first.
void ShowLogoAtScale(HWND dialog, UINT message, const wchar_t* name);
