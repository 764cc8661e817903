// The layout check: texts that do not fit their controls, controls out of place.
#pragma once
#include <string>
#include <vector>

#include "lngtool/render/dialog_sources.h"

namespace lngtool {

struct LayoutRequest : DialogSources {
  bool fit = false;       // find each dialog's smallest clean scale entry
  bool write = false;     // and put it in the catalog
  std::vector<int> dpis;  // the display scales; empty: the session's
  // A folder that the sessions at the other scales of dpis share for the fit.
  std::string results;
};

// Checks both dialogs with the catalog for texts that do not fit their
// controls and controls out of place, at the session's display scale, which
// must be one of dpis; only the Windows build can. With a fit over several
// scales, the session at the first one takes the others' clean scales from
// the results folder, where each of theirs writes them.
int RunLayout(const LayoutRequest& request, std::string* out, std::string* err);

}  // namespace lngtool
