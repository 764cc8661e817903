#include "lngtool/render/layout_prediction_win.h"

#include "base/wide_bridge.h"
#include "lngtool/io/text_form.h"
#include "localization/dialog_layout.h"
#include "localization/localize_dialog.h"

namespace lngtool {
namespace {
bool SameExtent(const Extent& a, const Extent& b) { return a.cx == b.cx && a.cy == b.cy; }
}  // namespace

void MeasureOpen(const LauncherDialog& d, const OpenedDialog& opened, DialogLayout* out) {
  HWND dialog = opened.window;
  out->name = ToUtf8(d.name);
  RECT client;
  GetClientRect(dialog, &client);
  out->client = {client.right, client.bottom};
  out->controls.clear();
  size_t i = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr && i < kMostControls;
       c = GetWindow(c, GW_HWNDNEXT), ++i) {
    out->controls.push_back(MeasureControl(dialog, c));
    out->controls.back().source = i < opened.record.texts.size() ? opened.record.texts[i] : u"";
  }
  out->title = MeasureTitle(dialog, opened.record.title);
}

bool MeasureDialog(const LauncherDialog& d, const std::vector<uint8_t>* bytes, DialogLayout* out,
                   std::string* err) {
  out->name = ToUtf8(d.name);
  OpenedDialog opened;
  if (!OpenDialog(d, bytes, &opened, err)) {
    return false;
  }
  MeasureOpen(d, opened, out);
  CloseDialog(opened.window);
  return true;
}

OpenModel ModelOf(const OpenedDialog& dialog, const std::string& name) {
  const TemplateGeometry& g = dialog.record.geometry;
  OpenModel m;
  m.name = name;
  m.geometry = g;
  m.dialogFrame = GetSystemMetrics(SM_CYDLGFRAME);
  size_t i = 0;
  for (HWND c = GetWindow(dialog.window, GW_CHILD); c != nullptr && i < g.controls.size();
       c = GetWindow(c, GW_HWNDNEXT), ++i) {
    OpenControl o;
    o.window = c;
    o.style = GetWindowLongW(c, GWL_STYLE);
    o.layout.id = static_cast<int16_t>(GetDlgCtrlID(c));
    o.layout.className = ClassName(c);
    o.layout.shown = WindowText(c);
    o.layout.source = i < dialog.record.texts.size() ? dialog.record.texts[i] : u"";
    RECT outer;
    RECT inner;
    GetWindowRect(c, &outer);
    GetClientRect(c, &inner);
    o.border = {outer.right - outer.left - inner.right, outer.bottom - outer.top - inner.bottom};
    m.controls.push_back(o);
  }
  RECT window;
  GetWindowRect(dialog.window, &window);
  m.title = MeasureTitle(dialog.window, dialog.record.title);
  m.titleTaken = window.right - window.left - m.title.has.cx;
  return m;
}

void Predict(const OpenModel& m, ScalePercent scale, TextCache* cache, DialogLayout* out) {
  const TemplateGeometry& g = m.geometry;
  const LayoutScale s = {scale.x, scale.y};
  const FrameSize frame = MeasureFrame(g.window, g.client);
  const DialogPlacement p = PlaceDialog(g.window, g.client, s, g.centered);
  const int32_t grownX = p.width - (g.window.right - g.window.left);
  const int32_t grownY = p.height - (g.window.bottom - g.window.top);
  // Mirrored or not, the dialog's own rectangle keeps its left edge in its
  // client coordinates as it grows (the dialog created at a scale checks).
  const LayoutRect window = g.self;
  out->name = m.name;
  out->client = {g.client.right + grownX, g.client.bottom + grownY};
  out->controls.clear();
  for (size_t i = 0; i < m.controls.size(); ++i) {
    const OpenControl& o = m.controls[i];
    const ControlPlacement placed = PlaceControl(g.controls[i], window, frame, m.dialogFrame, s);
    ControlLayout control = o.layout;
    control.place = {placed.left, placed.top, placed.left + placed.width,
                     placed.top + placed.height};
    MeasureText(o.window, o.style, {placed.width - o.border.cx, placed.height - o.border.cy},
                &control, cache);
    out->controls.push_back(control);
  }
  out->title = m.title;
  if (out->title.measured) {
    out->title.has.cx = p.width - m.titleTaken;
  }
}

bool SameLayout(const DialogLayout& a, const DialogLayout& b) {
  if (!SameExtent(a.client, b.client) || a.controls.size() != b.controls.size() ||
      !SameExtent(a.title.has, b.title.has)) {
    return false;
  }
  for (size_t i = 0; i < a.controls.size(); ++i) {
    const ControlLayout& x = a.controls[i];
    const ControlLayout& y = b.controls[i];
    if (x.place.left != y.place.left || x.place.top != y.place.top ||
        x.place.right != y.place.right || x.place.bottom != y.place.bottom ||
        !SameExtent(x.needs, y.needs) || !SameExtent(x.has, y.has)) {
      return false;
    }
  }
  return true;
}

}  // namespace lngtool
