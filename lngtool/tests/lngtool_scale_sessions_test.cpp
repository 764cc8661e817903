// The meeting of the per-scale sessions of a fit: the first session gets
// every other session's data, in the request's order, and stops waiting as
// soon as one failed, wrote what cannot be read, or took too long.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "lngtool/io/lngtool_platform.h"
#include "lngtool/render/scale_sessions.h"
#include "lngtool_test_support.h"

namespace lngtool {
namespace {

using Fits = std::map<std::string, FitData>;

// An empty folder for the sessions to meet in.
std::string MeetingFolder(const std::string& name) {
  std::string folder = TempPath(name);
  MakeDirectory(folder);
  for (int dpi : {96, 120, 144, 192}) {
    for (const char* ending : {".needs", ".txt", ".failed"}) {
      std::remove((folder + "/dpi-" + std::to_string(dpi) + ending).c_str());
    }
  }
  return folder;
}

LayoutRequest Request(const std::string& folder, std::vector<int> dpis) {
  LayoutRequest request;
  request.fit = true;
  request.dpis = std::move(dpis);
  request.results = folder;
  return request;
}

Fits Dialogs(bool wider, const char* clean) {
  FitData offer;
  offer.wider = wider;
  offer.clean = clean;
  FitData info;
  info.taller = true;
  info.clean = "01";
  return {{"LAUNCHDLG", offer}, {"INFODLG", info}};
}

SessionWait Waiting(uint32_t most) {
  SessionWait wait;
  wait.mostMilliseconds = most;
  wait.pollMilliseconds = 5;
  return wait;
}

TEST(ScaleSessions, TheFirstGathersTheOthersInTheRequestsOrder) {
  const std::string folder = MeetingFolder("sessions_all");
  const LayoutRequest request = Request(folder, {96, 192, 120});
  std::string err;
  ASSERT_TRUE(WriteSessionFit(folder, 120, FitRound::kClean, Dialogs(false, "0011"), &err)) << err;
  // One session is still measuring when the first begins to wait.
  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string lateErr;
    WriteSessionFit(folder, 192, FitRound::kClean, Dialogs(true, "0001"), &lateErr);
  });
  std::vector<Fits> all;
  const bool gathered =
      AwaitOtherSessions(request, 96, FitRound::kClean, &all, &err, Waiting(20000));
  late.join();
  ASSERT_TRUE(gathered) << err;
  ASSERT_EQ(all.size(), 2u);
  EXPECT_TRUE(all[0].at("LAUNCHDLG").wider);
  EXPECT_EQ(all[0].at("LAUNCHDLG").clean, "0001");
  EXPECT_FALSE(all[1].at("LAUNCHDLG").wider);
  EXPECT_EQ(all[1].at("LAUNCHDLG").clean, "0011");
  EXPECT_TRUE(all[1].at("INFODLG").taller);
  EXPECT_EQ(err, "");
}

TEST(ScaleSessions, WaitingEndsWithTheReasonWhenASessionCannotAnswer) {
  const struct {
    const char* name;
    const char* file;  // what the session at 120 DPI left, if anything
    const char* bytes;
    uint32_t most;  // a failure told by a file ends the wait long before this
    const char* says;
  } cases[] = {
      {"failed", "dpi-120.failed", "", 60000, "lngtool: at 120 DPI: no measurement for the fit\n"},
      {"silent", nullptr, "", 200, "lngtool: at 120 DPI: no measurement for the fit\n"},
      // Its needs are no answer to the round of clean candidates.
      {"needs only", "dpi-120.needs", "LAUNCHDLG 1 0 \n", 200,
       "lngtool: at 120 DPI: no measurement for the fit\n"},
      {"garbled", "dpi-120.txt", "LAUNCHDLG yes\n", 60000,
       "lngtool: at 120 DPI: the fit's measurement cannot be read\n"},
  };
  for (const auto& c : cases) {
    const std::string folder = MeetingFolder(std::string("sessions_") + std::to_string(&c - cases));
    if (c.file != nullptr) {
      const std::string bytes = c.bytes;
      ASSERT_TRUE(WriteWholeFile(folder + "/" + c.file, {bytes.begin(), bytes.end()}));
    }
    std::vector<Fits> all;
    std::string err;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(AwaitOtherSessions(Request(folder, {96, 120}), 96, FitRound::kClean, &all, &err,
                                    Waiting(c.most)))
        << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
    EXPECT_EQ(err, c.says) << c.name;
    EXPECT_TRUE(all.empty()) << c.name;
  }
}

TEST(ScaleSessions, EachSessionKnowsItsPart) {
  std::string err;
  EXPECT_TRUE(ScalesUsable(Request("", {96}), 96, &err));
  EXPECT_TRUE(ScalesUsable(Request("r", {96, 144}), 144, &err));
  EXPECT_EQ(err, "");
  EXPECT_FALSE(ScalesUsable(Request("r", {96, 144}), 120, &err));
  EXPECT_NE(err.find("120 DPI, which is not one of the scales asked for"), std::string::npos);
  err.clear();
  EXPECT_FALSE(ScalesUsable(Request("", {96, 144}), 96, &err));
  EXPECT_NE(err.find("a session shows one scale only"), std::string::npos);

  EXPECT_TRUE(GathersFits(Request("r", {144, 96}), 144));
  EXPECT_FALSE(GathersFits(Request("r", {144, 96}), 96));

  err.clear();
  EXPECT_FALSE(WriteSessionFit(TempPath("sessions_nowhere/deeper"), 96, FitRound::kNeeds,
                               Dialogs(false, "1"), &err));
  EXPECT_NE(err.find("cannot write the fit's measurement"), std::string::npos);
}

}  // namespace
}  // namespace lngtool
