// lngtool's exit codes: 0 fine, 1 the checked catalog has findings that make
// the launcher show something else than meant, 2 the command could not run.
#pragma once

namespace lngtool {

constexpr int kExitFine = 0;
constexpr int kExitFindings = 1;
constexpr int kExitFailure = 2;

}  // namespace lngtool
