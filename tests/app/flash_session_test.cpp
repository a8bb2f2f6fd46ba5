// "Flash Device" through the window logic: whatever way an update fails, the window goes back
// to Idle and the next attempt on a healthy board completes; a close request while the board
// is being written is refused every time and the update runs to its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app_harness.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using sim::FaultKind;

enum Click : std::int16_t { FindDevice = 0, FlashDevice = 1 };

class FlashSession {
 public:
  FlashSession() : app({.hardwareByte = 0x21, .firmwareByte = 0x11}) {
    image = test::WriteFirmware(app.workDir / "TLX.fwu", {.version = 0x20});
    app.form.Form_Load();
  }

  void FindAndFlash() {
    app.form.Button_Click(FindDevice);
    app.form.Button_Click(FlashDevice);
  }

  bool BoardHoldsImage() const {
    const auto flash = app.board.Flash();
    return std::equal(flash.begin(), flash.end(), image.begin() + 8);
  }

  bool Idle() const {
    return app.window.VisibleButtons() == std::vector<int>{0} && !app.window.progressVisible &&
           app.window.statusText.empty() && app.window.menuEnabled &&
           app.form.FlashInProgress == kFalse;
  }

  bool Complete() const {
    return app.window.VisibleButtons() == std::vector<int>{3} &&
           app.window.statusText == "Flash Complete!" && app.window.menuEnabled &&
           app.form.FlashInProgress == kFalse && app.form.FailureFlag == 0;
  }

  test::AppHarness app;
  std::vector<std::uint8_t> image;
};

// Each fault lasts exactly one update's budget, so the board is healthy afterwards. Faults
// count the calls made after they were planned, that is from "Flash Device" on.
struct FailureCase {
  std::string name;
  sim::ScriptedFault fault;
  std::string title;
  std::int16_t failureFlag;
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class FailedSession : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailedSession, ReturnsToIdleAndTheNextAttemptCompletes) {
  FlashSession session;
  session.app.form.Button_Click(FindDevice);
  session.app.board.Faults().Add(GetParam().fault);
  session.app.form.Button_Click(FlashDevice);

  ASSERT_EQ(session.app.window.messages.size(), 1u);
  EXPECT_EQ(session.app.window.messages[0].title, GetParam().title);
  EXPECT_EQ(session.app.form.FailureFlag, GetParam().failureFlag);
  EXPECT_TRUE(session.Idle());

  session.FindAndFlash();
  EXPECT_EQ(session.app.window.messages.size(), 1u);
  EXPECT_TRUE(session.Complete());
  EXPECT_TRUE(session.BoardHoldsImage());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedSession,
    ::testing::Values(FailureCase{"Step2WriteBudgetSpent",
                                  {.call = D2xxCall::Write, .first = 1, .count = 50, .tag = "WF"},
                                  "Update Failure!",
                                  -2},
                      FailureCase{"Step1ReadBackBudgetSpent",
                                  {.call = D2xxCall::Write, .first = 12, .count = 50, .tag = "RF"},
                                  "Update Failure!",
                                  -2},
                      FailureCase{"Step3ReadBackFlippedEveryTime",
                                  {.call = D2xxCall::Read,
                                   .first = 9,
                                   .count = 50,
                                   .kind = FaultKind::BitFlip,
                                   .tag = "RF"},
                                  "Verify Failure!",
                                  -1},
                      FailureCase{"NoStatusAfterTheFirstEX",
                                  {.call = D2xxCall::Read,
                                   .first = 1,
                                   .count = 1,
                                   .kind = FaultKind::NoData,
                                   .tag = "SI"},
                                  "Bootloader Failure!",
                                  -2}),
    [](const auto& info) { return info.param.name; });

// Events are processed per block and after each failed write; the user asks to close at
// every one of them.
TEST(FlashSessionClose, EveryCloseRequestDuringTheUpdateIsRefused) {
  FlashSession session;
  session.app.form.Button_Click(FindDevice);
  session.app.board.Faults().Add({.call = D2xxCall::Write, .first = 3, .count = 10, .tag = "WF"});
  int allowed = 0;
  session.app.window.onDoEvents = [&] { allowed += session.app.RequestClose() ? 1 : 0; };
  session.app.form.Button_Click(FlashDevice);

  EXPECT_EQ(session.app.window.doEventsCount, 2 * 35 + 10);
  EXPECT_EQ(allowed, 0);
  EXPECT_FALSE(session.app.window.unloaded);
  EXPECT_TRUE(session.Complete());
  EXPECT_TRUE(session.BoardHoldsImage());
}

}  // namespace
}  // namespace tlx
