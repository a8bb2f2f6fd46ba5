#include <gtest/gtest.h>

#include "app_harness.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using test::AppHarness;

enum Click : std::int16_t { FindDevice = 0, FlashDevice = 1, AbortFlash = 2, Ok = 3 };

struct Surface {
  std::vector<int> buttons;
  std::string statusText;
  std::string deviceName;
  bool menuEnabled;
  bool progressVisible;
};

Surface SurfaceOf(const test::RecordingWindow& window) {
  return {window.VisibleButtons(), window.statusText, window.deviceName, window.menuEnabled,
          window.progressVisible};
}

void ExpectSurface(const test::RecordingWindow& window, const Surface& expected) {
  const Surface actual = SurfaceOf(window);
  EXPECT_EQ(actual.buttons, expected.buttons);
  EXPECT_EQ(actual.statusText, expected.statusText);
  EXPECT_EQ(actual.deviceName, expected.deviceName);
  EXPECT_EQ(actual.menuEnabled, expected.menuEnabled);
  EXPECT_EQ(actual.progressVisible, expected.progressVisible);
}

const Surface kIdle{{0}, "", "", true, false};
const Surface kReady{
    {1, 2}, "Firmware: v1.3  -  Upgrading to: v2.0", "Tambrelux Pro - Hardware v2.1", false, false};
const Surface kFlashing{{}, "Flashing device...", "Tambrelux Pro - Hardware v2.1", false, true};
const Surface kComplete{{3}, "Flash Complete!", "Tambrelux Pro - Hardware v2.1", true, false};

class WindowStatesTest : public ::testing::Test {
 protected:
  WindowStatesTest() : app({.hardwareByte = 0x21, .firmwareByte = 0x13}) {
    app.WriteDefaultFirmware(0x20);
    app.form.Form_Load();
  }

  AppHarness app;
};

TEST_F(WindowStatesTest, FullRoundThroughEveryState) {
  ExpectSurface(app.window, kIdle);
  app.form.Button_Click(FindDevice);
  ExpectSurface(app.window, kReady);
  app.form.Button_Click(AbortFlash);
  ExpectSurface(app.window, kIdle);
  app.form.Button_Click(FindDevice);
  ExpectSurface(app.window, kReady);

  // Mid-flash the user tries to close the window: refused, and the flash carries on.
  bool closeAllowed = true;
  app.window.onDoEvents = [&] {
    if (app.window.doEventsCount != 1) return;
    ExpectSurface(app.window, kFlashing);
    EXPECT_EQ(app.form.FlashInProgress, kTrue);
    closeAllowed = app.RequestClose();
  };
  app.form.Button_Click(FlashDevice);
  EXPECT_GT(app.window.doEventsCount, 0);
  EXPECT_FALSE(closeAllowed);
  EXPECT_FALSE(app.window.unloaded);
  ExpectSurface(app.window, kComplete);
  EXPECT_EQ(app.form.FlashInProgress, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 0u);

  app.form.Button_Click(Ok);
  ExpectSurface(app.window, kIdle);

  EXPECT_TRUE(app.RequestClose());
  EXPECT_TRUE(app.window.unloaded);
  EXPECT_EQ(app.form.Link.DeviceOpen, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 1u);
}

TEST_F(WindowStatesTest, FailedFlashReturnsToIdle) {
  app.board.Faults().Add(sim::ScriptedFault{
      .call = D2xxCall::Write, .count = sim::kEveryLaterCall, .status = FT_IO_ERROR, .tag = "WF"});
  app.form.Button_Click(FindDevice);
  app.form.Button_Click(FlashDevice);
  EXPECT_NE(app.form.FailureFlag, 0);
  EXPECT_EQ(app.window.messages.size(), 1u);
  ExpectSurface(app.window, kIdle);
  EXPECT_EQ(app.form.FlashInProgress, kFalse);
}

class CloseRequestTest : public WindowStatesTest, public ::testing::WithParamInterface<Flag16> {};

// Only exactly -1 means a flash is running; any other value lets the window go.
TEST_P(CloseRequestTest, RefusedOnlyWhileFlashInProgressIsMinusOne) {
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

INSTANTIATE_TEST_SUITE_P(Flags, CloseRequestTest, ::testing::Values(kTrue, kFalse, Flag16{1}));

}  // namespace
}  // namespace tlx
