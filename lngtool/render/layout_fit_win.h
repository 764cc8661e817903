// The fit of the layout check: for each catalog's dialog whose findings a
// larger scale entry can remove at some display scale, the least scale entry
// that leaves it clean at every scale asked for, agreed with the sessions of
// the other scales.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lngtool/catalog/catalog_file.h"
#include "lngtool/io/exit_codes.h"
#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/layout_findings.h"

namespace lngtool {

struct DialogCheck {
  DialogLayout english;
  DialogLayout shown;
  std::vector<LayoutFinding> findings;
};

// One catalog as this session checked it.
struct CatalogCheck {
  explicit CatalogCheck(std::string given) : name(std::move(given)), file(SystemAnsi) {}
  std::string name;  // as given, for the messages
  std::vector<uint8_t> bytes;
  CatalogFile file;
  bool loaded = false;
  std::vector<DialogCheck> dialogs;  // in the order of kLauncherDialogs
  bool lasting = false;              // findings that no scale entry removes
  int status = kExitFine;
};

using CatalogChecks = std::vector<std::unique_ptr<CatalogCheck>>;

// Fits the loaded catalogs' dialogs: prints each fit on out, writes them
// into the catalogs with request.write, and sets each catalog's status. The
// session at the first scale fits; the others only measure for it. False,
// with a message, when the sessions cannot agree (one failed or fell silent).
bool FitCatalogs(const LayoutRequest& request, int session, CatalogChecks* catalogs,
                 std::string* out, std::string* err);

}  // namespace lngtool
