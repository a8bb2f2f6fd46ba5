#include <gtest/gtest.h>

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

  EXPECT_TRUE(app.RequestClose());
  EXPECT_TRUE(app.window.unloaded);
  EXPECT_EQ(app.form.Link.DeviceOpen, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 1u);
}

class CloseRequestTest : public ::testing::TestWithParam<Flag16> {};

// Only exactly -1 means a flash is running; any other value lets the window go.
TEST_P(CloseRequestTest, RefusedOnlyWhileFlashInProgressIsMinusOne) {
  AppHarness app;
  app.form.Form_Load();
  app.form.FlashInProgress = GetParam();
  const bool refused = GetParam() == kTrue;
  for (const int unloadMode : {0, 1, 2, 3}) {
    bool cancel = false;
    app.form.Form_QueryUnload(cancel, unloadMode);
    EXPECT_EQ(cancel, refused);
  }
  EXPECT_EQ(app.RequestClose(), !refused);
  EXPECT_EQ(app.Calls(D2xxCall::Close), refused ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, CloseRequestTest, ::testing::Values(kTrue, kFalse, Flag16{1}), [](const auto& info) {
      return std::string(info.param == kTrue ? "MinusOne" : info.param == kFalse ? "Zero" : "One");
    });

}  // namespace
}  // namespace tlx
