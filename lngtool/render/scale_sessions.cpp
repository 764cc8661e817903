#include "lngtool/render/scale_sessions.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "lngtool/io/lngtool_platform.h"

namespace lngtool {
namespace {

// The folder's own separator: Windows paths as the wrapper gives them take a
// backslash.
std::string SessionPath(const std::string& folder, int dpi, const char* ending) {
  const bool slashes =
      folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
  return folder + (slashes ? "/" : "\\") + "dpi-" + std::to_string(dpi) + ending;
}

const char* Ending(FitRound round) { return round == FitRound::kNeeds ? ".needs" : ".txt"; }
}  // namespace

std::string ScaleName(int dpi) { return "at " + std::to_string(dpi) + " DPI"; }

bool ScalesUsable(const LayoutRequest& request, int session, std::string* err) {
  if (std::find(request.dpis.begin(), request.dpis.end(), session) == request.dpis.end()) {
    *err += "lngtool: this session shows " + std::to_string(session) +
            " DPI, which is not one of the scales asked for\n";
    return false;
  }
  if (request.dpis.size() > 1 && request.results.empty()) {
    *err +=
        "lngtool: a session shows one scale only: measure each in a session of its own "
        "(tools/lngtool-layout does)\n";
    return false;
  }
  return true;
}

bool GathersFits(const LayoutRequest& request, int session) {
  return !request.dpis.empty() && request.dpis.front() == session;
}

bool WriteSessionFit(const std::string& folder, int session, FitRound round,
                     const std::map<std::string, FitData>& dialogs, std::string* err) {
  const std::string text = FormatFitData(dialogs);
  if (!WriteWholeFile(SessionPath(folder, session, Ending(round)),
                      std::vector<uint8_t>(text.begin(), text.end()))) {
    *err += "lngtool: cannot write the fit's measurement into " + folder + "\n";
    return false;
  }
  return true;
}

bool AwaitOtherSessions(const LayoutRequest& request, int session, FitRound round,
                        std::vector<std::map<std::string, FitData>>* all, std::string* err,
                        const SessionWait& wait) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const auto most = std::chrono::milliseconds(wait.mostMilliseconds);
  for (int dpi : request.dpis) {
    if (dpi == session) {
      continue;
    }
    const std::string done = SessionPath(request.results, dpi, Ending(round));
    while (!PathTaken(done)) {
      if (PathTaken(SessionPath(request.results, dpi, ".failed")) || Clock::now() - start > most) {
        *err += "lngtool: " + ScaleName(dpi) + ": no measurement for the fit\n";
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(wait.pollMilliseconds));
    }
    std::vector<uint8_t> bytes;
    std::map<std::string, FitData> parsed;
    if (!ReadWholeFile(done, &bytes) ||
        !ParseFitData(std::string(bytes.begin(), bytes.end()), &parsed)) {
      *err += "lngtool: " + ScaleName(dpi) + ": the fit's measurement cannot be read\n";
      return false;
    }
    all->push_back(parsed);
  }
  return true;
}

}  // namespace lngtool
