// How the sessions of a fit over several display scales meet, one session a
// scale (a Wine session shows one), in two rounds through the folder they
// share. First each session writes what its findings need grown (dpi-N.needs)
// and reads everyone's, so that all of them measure the same candidates, and
// only for the dialogs that need a fit at some scale; then each session but
// the first writes which candidates are clean there (dpi-N.txt), and the
// first gathers those and fits. The wrapper that runs them leaves
// dpi-N.failed for a session that failed.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lngtool/render/dialog_layout_check.h"
#include "lngtool/render/layout_fit.h"

namespace lngtool {

// "at 120 DPI"
std::string ScaleName(int dpi);

// The session's scale is one of the request's, and several scales have a
// folder to meet in; false with a message.
bool ScalesUsable(const LayoutRequest& request, int session, std::string* err);

// The first scale's session gathers the others' data.
bool GathersFits(const LayoutRequest& request, int session);

enum class FitRound { kNeeds, kClean };

// The session's data, whole or not at all; false with a message.
bool WriteSessionFit(const std::string& folder, int session, FitRound round,
                     const std::map<std::string, FitData>& dialogs, std::string* err);

struct SessionWait {
  uint32_t mostMilliseconds = 600000;  // for all of them together
  uint32_t pollMilliseconds = 20;
};

// Every other session's data of the round, in the order of the request's
// scales, each as soon as its session has written it; false, with a message,
// when one failed, wrote what cannot be read, or none came in time.
bool AwaitOtherSessions(const LayoutRequest& request, int session, FitRound round,
                        std::vector<std::map<std::string, FitData>>* all, std::string* err,
                        const SessionWait& wait = SessionWait());

}  // namespace lngtool
