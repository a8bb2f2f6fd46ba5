#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "app_harness.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using namespace test;

TEST(WindowStatesTest, FullRoundThroughEveryState) {
  AppHarness app;
  app.WriteDefaultFirmware(0x20);
  app.form.Form_Load();
  EXPECT_EQ(app.Shown(), kIdle);
  app.form.Button_Click(FindDevice);
  EXPECT_EQ(app.Shown(), kReady);
  app.form.Button_Click(AbortFlash);
  EXPECT_EQ(app.Shown(), kIdle);
  app.form.Button_Click(FindDevice);
  EXPECT_EQ(app.Shown(), kReady);

  app.window.onDoEvents = [&] {
    if (app.window.doEventsCount != 1) return;
    EXPECT_EQ(app.Shown(), kFlashing);
    EXPECT_EQ(app.form.FlashInProgress, kTrue);
  };
  app.form.Button_Click(FlashDevice);
  EXPECT_GT(app.window.doEventsCount, 0);
  EXPECT_EQ(app.Shown(), kComplete);
  EXPECT_EQ(app.form.FlashInProgress, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 0u);

  app.form.Button_Click(Ok);
  EXPECT_EQ(app.Shown(), kIdle);

  EXPECT_TRUE(app.form.RequestClose());
  EXPECT_TRUE(app.window.unloaded);
  EXPECT_EQ(app.form.Link.DeviceOpen, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 1u);
}

// A failed update leaves nothing of itself behind: the window is back in Idle, and the next
// attempt on the healthy board completes.
TEST(WindowStatesTest, AFailedUpdateReturnsToIdleAndTheNextAttemptCompletes) {
  AppHarness app({.hardwareByte = 0x21, .firmwareByte = 0x11});
  const auto image = WriteFirmware(app.workDir / "TLX.fwu", {.version = 0x20});
  app.form.Form_Load();
  app.form.Button_Click(FindDevice);
  app.board.Faults().Add({.call = D2xxCall::Read,
                          .first = 9,
                          .count = 50,
                          .kind = sim::FaultKind::BitFlip,
                          .tag = "RF"});
  app.form.Button_Click(FlashDevice);
  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.form.FailureFlag, -1);
  EXPECT_EQ(app.Shown(), kIdle);
  EXPECT_EQ(app.form.FlashInProgress, kFalse);

  app.form.Button_Click(FindDevice);
  app.form.Button_Click(FlashDevice);
  EXPECT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.Shown(), kComplete);
  EXPECT_EQ(app.form.FailureFlag, 0);
  EXPECT_TRUE(std::ranges::equal(app.board.Flash(), std::span(image).subspan(8)));
}

class CloseRequestTest : public ::testing::TestWithParam<Flag16> {};

// Only exactly -1 means a flash is running; any other value lets the window go.
TEST_P(CloseRequestTest, RefusedOnlyWhileFlashInProgressIsMinusOne) {
  AppHarness app;
  app.form.Form_Load();
  app.form.FlashInProgress = GetParam();
  const bool refused = GetParam() == kTrue;
  EXPECT_EQ(app.form.RequestClose(), !refused);
  EXPECT_EQ(app.Calls(D2xxCall::Close), refused ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, CloseRequestTest, ::testing::Values(kTrue, kFalse, Flag16{1}), [](const auto& info) {
      return std::string(info.param == kTrue ? "MinusOne" : info.param == kFalse ? "Zero" : "One");
    });

}  // namespace
}  // namespace tlx
