// "Flash Device" through the window logic: whatever way an update fails, the window goes back
// to Idle and the next attempt on a healthy board completes; a close request while the board
// is being written is refused every time and the update runs to its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_harness.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using namespace test;

// Board firmware 1.1, so the update takes its longest path.
struct FlashSession {
  FlashSession() : image(WriteFirmware(app.workDir / "TLX.fwu", {.version = 0x20})) {
    app.form.Form_Load();
    app.form.Button_Click(FindDevice);
  }

  bool BoardHoldsImage() const {
    const auto flash = app.board.Flash();
    return std::equal(flash.begin(), flash.end(), image.begin() + 8);
  }

  AppHarness app{{.hardwareByte = 0x21, .firmwareByte = 0x11}};
  std::vector<std::uint8_t> image;
};

// Each fault lasts exactly one update's budget, so the board is healthy afterwards. Faults
// count the calls made after they were planned, that is from "Flash Device" on.
struct FailureCase {
  std::string name;
  D2xxCall call;
  int first;
  int count;
  FaultKind kind;
  const char* tag;
  std::string title;
  std::int16_t failureFlag;
};

class FailedSession : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailedSession, ReturnsToIdleAndTheNextAttemptCompletes) {
  FlashSession session;
  AppHarness& app = session.app;
  const FailureCase& c = GetParam();
  app.board.Faults().Add(
      {.call = c.call, .first = c.first, .count = c.count, .kind = c.kind, .tag = c.tag});
  app.form.Button_Click(FlashDevice);

  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.window.messages[0].title, c.title);
  EXPECT_EQ(app.form.FailureFlag, c.failureFlag);
  EXPECT_EQ(app.Shown(), kIdle);
  EXPECT_EQ(app.form.FlashInProgress, kFalse);

  app.form.Button_Click(FindDevice);
  app.form.Button_Click(FlashDevice);
  EXPECT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.Shown(), kComplete);
  EXPECT_EQ(app.form.FailureFlag, 0);
  EXPECT_TRUE(session.BoardHoldsImage());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedSession,
    ::testing::Values(FailureCase{"Step2WriteBudgetSpent", D2xxCall::Write, 1, 50,
                                  FaultKind::FailStatus, "WF", "Update Failure!", -2},
                      FailureCase{"Step3ReadBackFlippedEveryTime", D2xxCall::Read, 9, 50,
                                  FaultKind::BitFlip, "RF", "Verify Failure!", -1},
                      FailureCase{"NoStatusAfterTheFirstEX", D2xxCall::Read, 1, 1,
                                  FaultKind::NoData, "SI", "Bootloader Failure!", -2}),
    [](const auto& info) { return info.param.name; });

// Events are processed per block and after each failed write; the user asks to close at
// every one of them.
TEST(FlashSessionClose, EveryCloseRequestDuringTheUpdateIsRefused) {
  FlashSession session;
  AppHarness& app = session.app;
  app.board.Faults().Add({.call = D2xxCall::Write, .first = 3, .count = 10, .tag = "WF"});
  int allowed = 0;
  app.window.onDoEvents = [&] { allowed += app.RequestClose() ? 1 : 0; };
  app.form.Button_Click(FlashDevice);

  EXPECT_EQ(app.window.doEventsCount, 2 * 35 + 10);
  EXPECT_EQ(allowed, 0);
  EXPECT_FALSE(app.window.unloaded);
  EXPECT_EQ(app.Shown(), kComplete);
  EXPECT_TRUE(session.BoardHoldsImage());
}

}  // namespace
}  // namespace tlx
