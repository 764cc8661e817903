// The dialog as shown, measured; and as the launcher's rescaling would show
// it at a scale entry, foreseen in one open dialog instead of a dialog
// created for each scale, which takes far longer.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lngtool/render/launcher_host_win.h"
#include "lngtool/render/layout_findings.h"
#include "lngtool/render/layout_fit.h"
#include "lngtool/render/text_measure_win.h"

namespace lngtool {

// The open dialog as it stands, every control measured.
void MeasureOpen(const LauncherDialog& d, const OpenedDialog& opened, DialogLayout* out);

// The dialog as the launcher shows it with the catalog of bytes (null: none),
// created, measured and closed; false, with a message, when it cannot be made.
bool MeasureDialog(const LauncherDialog& d, const std::vector<uint8_t>* bytes, DialogLayout* out,
                   std::string* err);

// One control of the open dialog, asked once.
struct OpenControl {
  HWND window = nullptr;
  LONG style = 0;
  Extent border;  // the control's window less its client area
  ControlLayout layout;
};

// What the foreseeing needs of the open dialog, asked once.
struct OpenModel {
  std::string name;  // the dialog's, as findings name it
  TemplateGeometry geometry;
  int32_t dialogFrame = 0;
  std::vector<OpenControl> controls;
  ControlLayout title;
  int32_t titleTaken = 0;  // the window's width the caption's text cannot use
};

OpenModel ModelOf(const OpenedDialog& dialog, const std::string& name);

// The dialog at scale from the template's geometry, step by step as the
// launcher's dialog localization takes them: the dialog resized first, then
// each control placed against it. The texts are measured in the open
// dialog's controls at the widths they would get.
void Predict(const OpenModel& model, ScalePercent scale, TextCache* cache, DialogLayout* out);

// The same places, rooms and needs: the foresight checked against a dialog
// created at the scale.
bool SameLayout(const DialogLayout& a, const DialogLayout& b);

}  // namespace lngtool
