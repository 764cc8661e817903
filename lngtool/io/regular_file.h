// Whether a file may be read whole, judged by its name before it is opened:
// opening a FIFO waits for a writer, and reading a device may never end.
#pragma once
#include <cstdint>
#include <string>

namespace lngtool {

// The largest input lngtool reads, far above any catalog, PO or XLIFF file
// or program it is meant for.
constexpr uint64_t kMaxInputBytes = uint64_t{64} << 20;

// False, with a one-line reason, when path names no regular file (a folder,
// a device, a pipe or a socket) or one larger than kMaxInputBytes. True when
// path names nothing: opening it then tells the system's reason.
bool IsReadableInput(const std::string& path, std::string* reason);

}  // namespace lngtool
