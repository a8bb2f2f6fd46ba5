#include <gtest/gtest.h>

#include "app/window_system.h"
#include "app_harness.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;
using namespace test;

class NoBoardTest : public ::testing::TestWithParam<D2xxCall> {};

// Whether the open itself fails or the settings after it, the user is told only after the
// window (and with it the connection) is gone.
TEST_P(NoBoardTest, WindowIsUnloadedAndConnectionClosedBeforeTheMessage) {
  AppHarness app;
  app.board.Faults().Add(ScriptedFault{.call = GetParam(), .tag = {}});
  bool closedAtMessage = false;
  std::size_t closesAtMessage = 0;
  app.window.onMessage = [&](const ShownMessage&) {
    closedAtMessage = app.form.Link.DeviceOpen == kFalse && app.form.Link.DeviceHandle == 0;
    closesAtMessage = app.Calls(D2xxCall::Close);
  };
  app.form.Form_Load();
  EXPECT_EQ(app.window.log,
            (std::vector<std::string>{"caption Tambrelux Pro Updater v1.3", "unload",
                                      "msgbox USB Error! | Tambrelux Pro hardware not found!"}));
  EXPECT_EQ(app.window.messages[0].style, 0);
  EXPECT_TRUE(closedAtMessage);
  EXPECT_EQ(closesAtMessage, GetParam() == D2xxCall::OpenEx ? 0u : 1u);
  EXPECT_TRUE(app.form.ImageBuffer.empty());
}

INSTANTIATE_TEST_SUITE_P(FailingCall, NoBoardTest,
                         ::testing::Values(D2xxCall::OpenEx, D2xxCall::SetTimeouts,
                                           D2xxCall::SetUSBParameters),
                         [](const auto& info) { return std::string(sim::CallName(info.param)); });

struct HardwareCase {
  const char* name;
  std::uint8_t hardwareByte;
  bool silent;  // the board does not answer "SI"
  bool refused;
};

class UpdateModeTest : public ::testing::TestWithParam<HardwareCase> {};

TEST_P(UpdateModeTest, OnlyHardwareZeroZeroIsNotInUpdateMode) {
  AppHarness app({.hardwareByte = GetParam().hardwareByte, .firmwareByte = 0x13});
  if (GetParam().silent)
    app.board.Faults().Add(ScriptedFault{.call = D2xxCall::Read,
                                         .count = sim::kEveryLaterCall,
                                         .kind = FaultKind::NoData,
                                         .tag = "SI"});
  app.form.Form_Load();
  EXPECT_EQ(app.window.shown, !GetParam().refused);
  if (!GetParam().refused) {
    EXPECT_TRUE(app.window.messages.empty());
    return;
  }
  const std::vector<std::string> tail{"msgbox <none> | Tambrelux Not in update mode! ", "unload",
                                      "end"};
  EXPECT_TRUE(std::equal(tail.rbegin(), tail.rend(), app.window.log.rbegin()));
  EXPECT_EQ(app.window.messages[0].style, kStyleStopSystemModal);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 1u);
}

INSTANTIATE_TEST_SUITE_P(Boards, UpdateModeTest,
                         ::testing::Values(HardwareCase{"Hardware0_0", 0x00, false, true},
                                           HardwareCase{"SilentBoard", 0x21, true, true},
                                           HardwareCase{"Hardware0_1", 0x01, false, false},
                                           HardwareCase{"Hardware1_0", 0x10, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx
