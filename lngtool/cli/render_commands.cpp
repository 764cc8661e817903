// The commands that show the dialogs (Windows build): preview, layout.
#include "lngtool/cli/tool.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/dialog_preview.h"
#include "lngtool/render/layout_fit.h"

namespace lngtool {

int Tool::Preview() {
  if (!Has("--out")) {
    return Usage("--out DIR is needed: the folder for the pictures");
  }
  PreviewRequest request;
  SetSources(&request);
  request.outDir = Get("--out");
  return RunPreview(request, out_, err_);
}

int Tool::Layout() {
  if (Has("--write") && !Has("--fit")) {
    return Usage("--write goes with --fit");
  }
  LayoutRequest request;
  SetSources(&request);
  request.fit = Has("--fit");
  request.write = Has("--write");
  request.results = Get("--results");
  if (Has("--dpi") && !ParseDpiList(Get("--dpi"), &request.dpis)) {
    return Usage("--dpi takes display scales such as 96,120,144,192");
  }
  return RunLayout(request, out_, err_);
}

}  // namespace lngtool
