#include <gtest/gtest.h>

#include "app_harness.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;
using test::AppHarness;

constexpr std::int16_t kFindDevice = 0;

// A started window on a board with hardware 2.1 and firmware 1.3.
class CheckDeviceTest : public ::testing::Test {
 protected:
  explicit CheckDeviceTest(sim::BoardConfig config = {.hardwareByte = 0x21, .firmwareByte = 0x13})
      : app(config) {
    app.form.Form_Load();
    logAtStart = app.window.log.size();
  }

  std::vector<std::string> LogSinceStart() const {
    return {app.window.log.begin() + static_cast<std::ptrdiff_t>(logAtStart), app.window.log.end()};
  }

  AppHarness app;
  std::size_t logAtStart = 0;
};

class UsbFailureTest : public CheckDeviceTest, public ::testing::WithParamInterface<int> {};

// Unplugged between start-up and the check: the window goes before the message, and no
// firmware is chosen or read for a board that is gone.
TEST_P(UsbFailureTest, FailingPurgeUnloadsBeforeTheMessageAndReadsNoFile) {
  app.form.mnuFWCustom_Click();
  logAtStart = app.window.log.size();
  app.board.Faults().Add(ScriptedFault{.call = D2xxCall::Purge, .first = GetParam(), .tag = {}});
  const auto writesBefore = app.Calls(D2xxCall::Write);

  app.form.Button_Click(kFindDevice);

  EXPECT_EQ(LogSinceStart(),
            (std::vector<std::string>{"menu disabled", "unload",
                                      "msgbox USB Error | USB Connection Failure!"}));
  EXPECT_EQ(app.form.FailureFlag, 0);
  EXPECT_TRUE(app.window.dialogsShown.empty());
  EXPECT_EQ(app.form.Link.DeviceOpen, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 1u);
  EXPECT_EQ(app.Calls(D2xxCall::Write) - writesBefore, GetParam() == 1 ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(PurgeBeforeOrAfterTheQuery, UsbFailureTest, ::testing::Values(1, 2));

TEST_F(CheckDeviceTest, AsksTheBoardBetweenTwoPurgesAndOffersTheFlash) {
  app.WriteDefaultFirmware(0x20);
  const auto callsBefore = app.board.CallTrace().Entries().size();

  app.form.Button_Click(kFindDevice);

  const auto& calls = app.board.CallTrace().Entries();
  ASSERT_GE(calls.size(), callsBefore + 4);
  EXPECT_EQ(calls[callsBefore].call, D2xxCall::Purge);
  EXPECT_EQ(calls[callsBefore].mask, 3u);
  EXPECT_EQ(calls[callsBefore + 1].data, (std::vector<std::uint8_t>{'S', 'I'}));
  EXPECT_EQ(calls.back().call, D2xxCall::Purge);
  EXPECT_EQ(calls.back().mask, 3u);
  EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
  EXPECT_EQ(app.window.deviceName, "Tambrelux Pro - Hardware v2.1");
  EXPECT_EQ(app.window.statusText, "Firmware: v1.3  -  Upgrading to: v2.0");
  EXPECT_FALSE(app.window.menuEnabled);
  EXPECT_TRUE(app.window.messages.empty());
  EXPECT_EQ(app.form.FailureFlag, 0);
}

struct ImageCase {
  const char* name;
  std::optional<test::ImageHeader> file;  // none: no TLX.fwu
  const char* title;                      // nullptr: accepted
  const char* text;                       // the message, or the status line when accepted
};

class ImageCheckTest : public CheckDeviceTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(ImageCheckTest, RefusalsShowTheirMessageAndReturnToIdle) {
  const ImageCase& c = GetParam();
  if (c.file) test::WriteFirmware(app.workDir / "TLX.fwu", *c.file);

  app.form.Button_Click(kFindDevice);

  if (c.title == nullptr) {
    EXPECT_TRUE(app.window.messages.empty());
    EXPECT_EQ(app.window.statusText, c.text);
    EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
    return;
  }
  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.window.messages[0].title, c.title);
  EXPECT_EQ(app.window.messages[0].text, c.text);
  EXPECT_EQ(app.window.messages[0].style, 0);
  EXPECT_EQ(app.form.FailureFlag, -1);
  // The hardware line is shown during the message and cleared by the reset after it.
  EXPECT_LT(app.LogIndex("DeviceName = Tambrelux Pro - Hardware v2.1"), app.LogIndex("msgbox"));
  EXPECT_EQ(LogSinceStart().back(), "menu enabled");
  EXPECT_EQ(app.window.VisibleButtons(), std::vector<int>{0});
  EXPECT_EQ(app.window.deviceName, "");
  EXPECT_EQ(app.window.statusText, "");
}

constexpr char kTooOld[] = "Firmware is too old to update! Contact support@tambrelux.example!";

INSTANTIATE_TEST_SUITE_P(
    Images, ImageCheckTest,
    ::testing::Values(
        ImageCase{"missing", std::nullopt, "Unable to update!",
                  "Invalid or missing firmware file!"},
        ImageCase{"badheader", test::ImageHeader{.version = 0x20, .byte4 = 1},
                  "Device not supported!", "Device not currently supported for upgrading!"},
        ImageCase{"v1_1", test::ImageHeader{.version = 0x11}, "Unable to update!", kTooOld},
        ImageCase{"v1_0", test::ImageHeader{.version = 0x10}, "Unable to update!", kTooOld},
        ImageCase{"v0_15", test::ImageHeader{.version = 0x0F}, "Unable to update!", kTooOld},
        ImageCase{"v1_2", test::ImageHeader{.version = 0x12}, nullptr,
                  "Firmware: v1.3  -  Upgrading to: v1.2"},
        ImageCase{"v1_12", test::ImageHeader{.version = 0x1C}, nullptr,
                  "Firmware: v1.3  -  Upgrading to: v1.2"},
        ImageCase{"v2_0", test::ImageHeader{.version = 0x20}, nullptr,
                  "Firmware: v1.3  -  Upgrading to: v2.0"}),
    [](const auto& info) { return std::string(info.param.name); });

class NewerBoardTest : public CheckDeviceTest {
 protected:
  NewerBoardTest() : CheckDeviceTest({.hardwareByte = 0x21, .firmwareByte = 0x25}) {}
};

TEST_F(NewerBoardTest, ImageOlderThanTheBoardsFirmwareIsOffered) {
  app.WriteDefaultFirmware(0x13);
  app.form.Button_Click(kFindDevice);
  EXPECT_TRUE(app.window.messages.empty());
  EXPECT_EQ(app.window.statusText, "Firmware: v2.5  -  Upgrading to: v1.3");
  EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
}

TEST_F(CheckDeviceTest, SilentStatusReplyStillReachesTheImageChecks) {
  app.WriteDefaultFirmware(0x20);
  // The check's own query is the first "SI" read the fault sees.
  app.board.Faults().Add(
      ScriptedFault{.call = D2xxCall::Read, .kind = FaultKind::NoData, .tag = "SI"});
  app.form.Button_Click(kFindDevice);
  EXPECT_EQ(app.window.deviceName, "Tambrelux Pro - Hardware v0.0");
  EXPECT_EQ(app.window.statusText, "Firmware: v1.3  -  Upgrading to: v2.0");
  EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
}

TEST_F(CheckDeviceTest, CustomSourceShowsTheDialogAtEveryCheck) {
  const auto chosen = app.workDir / "chosen.fwu";
  test::WriteFirmware(chosen, {.version = 0x20});
  app.form.mnuFWCustom_Click();
  app.window.dialogAnswers = {chosen.string(), std::nullopt};

  app.form.Button_Click(kFindDevice);
  EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
  app.form.Button_Click(2);
  app.form.Button_Click(kFindDevice);

  ASSERT_EQ(app.window.dialogsShown.size(), 2u);
  EXPECT_EQ(app.window.dialogsShown[1].FileName, "");
  EXPECT_EQ(app.window.dialogsShown[1].InitDir, "/opt/tambrelux");
  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.window.messages[0].text, "Invalid or missing firmware file!");
  EXPECT_EQ(app.window.VisibleButtons(), std::vector<int>{0});
  EXPECT_TRUE(app.window.menuEnabled);
}

TEST_F(CheckDeviceTest, CustomThenDefaultBeforeACheckReadsTheDefaultFile) {
  app.WriteDefaultFirmware(0x20);
  app.form.mnuFWCustom_Click();
  app.form.mnuFWDefault_Click();
  app.form.Button_Click(kFindDevice);
  EXPECT_EQ(LogSinceStart()[0], "Custom checked");
  EXPECT_EQ(LogSinceStart()[1], "Default unchecked");
  EXPECT_EQ(LogSinceStart()[2], "Custom unchecked");
  EXPECT_EQ(LogSinceStart()[3], "Default checked");
  EXPECT_TRUE(app.window.dialogsShown.empty());
  EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace tlx
