#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "app_harness.h"
#include "image/firmware_image.h"

namespace tlx {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;
using namespace test;

// A started window on a board with hardware 2.1 and firmware 1.3; the log starts after it.
class CheckDeviceTest : public ::testing::Test {
 protected:
  CheckDeviceTest() {
    app.form.Form_Load();
    app.window.log.clear();
  }

  AppHarness app;
};

class UsbFailureTest : public CheckDeviceTest, public ::testing::WithParamInterface<int> {};

// Unplugged between start-up and the check: the window goes before the message, and no
// firmware is chosen or read for a board that is gone.
TEST_P(UsbFailureTest, FailingPurgeUnloadsBeforeTheMessageAndReadsNoFile) {
  app.form.mnuFWCustom_Click();
  app.window.log.clear();
  app.board.Faults().Add(ScriptedFault{.call = D2xxCall::Purge, .first = GetParam(), .tag = {}});
  const auto writesBefore = app.Calls(D2xxCall::Write);

  app.form.Button_Click(FindDevice);

  EXPECT_EQ(app.window.log,
            (std::vector<std::string>{"menu disabled", "unload",
                                      "msgbox USB Error | USB Connection Failure!"}));
  EXPECT_EQ(app.form.FailureFlag, 0);
  EXPECT_TRUE(app.window.dialogsShown.empty());
  EXPECT_EQ(app.form.Link.DeviceOpen, kFalse);
  EXPECT_EQ(app.Calls(D2xxCall::Close), 1u);
  EXPECT_EQ(app.Calls(D2xxCall::Write) - writesBefore, GetParam() == 1 ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(PurgeBeforeOrAfterTheQuery, UsbFailureTest, ::testing::Values(1, 2),
                         [](const auto& info) {
                           return std::string(info.param == 1 ? "FirstPurge" : "SecondPurge");
                         });

TEST_F(CheckDeviceTest, AsksTheBoardBetweenTwoPurgesAndOffersTheFlash) {
  app.WriteDefaultFirmware(0x20);
  const auto callsBefore = app.board.CallTrace().Entries().size();

  app.form.Button_Click(FindDevice);

  const auto& calls = app.board.CallTrace().Entries();
  ASSERT_GE(calls.size(), callsBefore + 4);
  EXPECT_EQ(calls[callsBefore].call, D2xxCall::Purge);
  EXPECT_EQ(calls[callsBefore].mask, 3u);
  EXPECT_EQ(calls[callsBefore + 1].data, (std::vector<std::uint8_t>{'S', 'I'}));
  EXPECT_EQ(calls.back().call, D2xxCall::Purge);
  EXPECT_EQ(calls.back().mask, 3u);
  EXPECT_EQ(app.Shown(), kReady);
  EXPECT_TRUE(app.window.messages.empty());
  EXPECT_EQ(app.form.FailureFlag, 0);
}

// What a case puts where the default firmware file is looked for.
enum class Put { Nothing, Folder, Image, Zeros, Random };

struct FileCase {
  const char* name;
  Put put;
  const char* title;  // nullptr: accepted
  const char* text;   // the message, or the status line when accepted
  ImageHeader header = {};
  std::size_t length = kContainerSize;  // of the encoded image
  std::uint8_t boardFirmware = 0x13;
};

void Place(const FileCase& c, const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes(c.length);
  if (c.put == Put::Nothing) return;
  if (c.put == Put::Folder) std::filesystem::create_directory(file);
  if (c.put == Put::Image) bytes = EncodeImage(MakeImage(c.header));
  if (c.put == Put::Random) std::ranges::generate(bytes, std::mt19937(8));  // decodes to no "FW"
  bytes.resize(c.length, 0x7F);
  if (c.put != Put::Folder) WriteBytes(file, bytes);
}

class FirmwareFileTest : public ::testing::TestWithParam<FileCase> {
 protected:
  AppHarness app{{.hardwareByte = 0x21, .firmwareByte = GetParam().boardFirmware}};
};

TEST_P(FirmwareFileTest, UserSeesTheMessageOfItsClass) {
  const FileCase& c = GetParam();
  Place(c, app.workDir / "TLX.fwu");
  app.form.Form_Load();
  app.form.Button_Click(FindDevice);

  if (c.title == nullptr) {
    EXPECT_TRUE(app.window.messages.empty());
    EXPECT_EQ(app.window.statusText, c.text);
    EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
    return;
  }
  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.window.log[app.LogIndex("msgbox")],
            std::string("msgbox ") + c.title + " | " + c.text);
  EXPECT_EQ(app.window.messages[0].style, 0);
  EXPECT_EQ(app.form.FailureFlag, -1);
  // The hardware line is shown during the message and cleared by the reset after it.
  EXPECT_LT(app.LogIndex("DeviceName = Tambrelux Pro - Hardware v2.1"), app.LogIndex("msgbox"));
  EXPECT_EQ(app.window.log.back(), "menu enabled");
  EXPECT_EQ(app.Shown(), kIdle);
}

constexpr char kUnable[] = "Unable to update!";
constexpr char kInvalid[] = "Invalid or missing firmware file!";
constexpr char kNoSupport[] = "Device not supported!";
constexpr char kNoSupportText[] = "Device not currently supported for upgrading!";
constexpr char kTooOld[] = "Firmware is too old to update! Contact support@tambrelux.example!";
constexpr char kTo20[] = "Firmware: v1.3  -  Upgrading to: v2.0";
constexpr char kTo12[] = "Firmware: v1.3  -  Upgrading to: v1.2";
constexpr char kTo13[] = "Firmware: v2.5  -  Upgrading to: v1.3";  // board firmware 2.5
constexpr std::size_t kFull = kContainerSize;

INSTANTIATE_TEST_SUITE_P(
    Files, FirmwareFileTest,
    ::testing::Values(
        FileCase{"missing", Put::Nothing, kUnable, kInvalid},
        FileCase{"folder", Put::Folder, kUnable, kInvalid},
        FileCase{"one_byte_short", Put::Image, kUnable, kInvalid, {}, kFull - 1},
        FileCase{"one_byte_long", Put::Image, nullptr, kTo20, {}, kFull + 1},
        FileCase{"all_zero", Put::Zeros, kNoSupport, kNoSupportText},
        FileCase{"random_container", Put::Random, kNoSupport, kNoSupportText},
        FileCase{
            "wrong_signature", Put::Image, kNoSupport, kNoSupportText, {.signature = {'W', 'F'}}},
        FileCase{"lower_case_f", Put::Image, kNoSupport, kNoSupportText, {.signature = {'f', 'W'}}},
        FileCase{"byte4_not_0", Put::Image, kNoSupport, kNoSupportText, {.byte4 = 1}},
        FileCase{"v1_1", Put::Image, kUnable, kTooOld, {.version = 0x11}},
        FileCase{"v0_15", Put::Image, kUnable, kTooOld, {.version = 0x0F}},
        FileCase{"v1_2", Put::Image, nullptr, kTo12, {.version = 0x12}},
        FileCase{"v1_12", Put::Image, nullptr, kTo12, {.version = 0x1C}},
        FileCase{"v2_0", Put::Image, nullptr, kTo20, {.version = 0x20}},
        FileCase{"older_than_board", Put::Image, nullptr, kTo13, {.version = 0x13}, kFull, 0x25}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CheckDeviceTest, SilentStatusReplyStillReachesTheImageChecks) {
  app.WriteDefaultFirmware(0x20);
  app.board.Faults().Add(
      ScriptedFault{.call = D2xxCall::Read, .kind = FaultKind::NoData, .tag = "SI"});
  app.form.Button_Click(FindDevice);
  EXPECT_EQ(app.window.deviceName, "Tambrelux Pro - Hardware v0.0");
  EXPECT_EQ(app.window.statusText, kTo20);
  EXPECT_EQ(app.window.VisibleButtons(), (std::vector<int>{1, 2}));
}

TEST_F(CheckDeviceTest, CustomSourceShowsTheDialogAtEveryCheck) {
  const auto chosen = app.workDir / "chosen.fwu";
  WriteFirmware(chosen, {.version = 0x20});
  app.form.mnuFWCustom_Click();
  app.window.dialogAnswers = {chosen.string(), std::nullopt};

  app.form.Button_Click(FindDevice);
  EXPECT_EQ(app.Shown(), kReady);
  app.form.Button_Click(AbortFlash);
  app.form.Button_Click(FindDevice);

  ASSERT_EQ(app.window.dialogsShown.size(), 2u);
  EXPECT_EQ(app.window.dialogsShown[1].FileName, "");
  EXPECT_EQ(app.window.dialogsShown[1].InitDir, "/opt/tambrelux");
  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.window.messages[0].text, kInvalid);
  EXPECT_EQ(app.Shown(), kIdle);
}

// Only the last three characters of a chosen name count, in any case.
TEST_F(CheckDeviceTest, ChosenNamesAreTakenByTheirEnding) {
  const std::pair<const char*, bool> cases[] = {
      {"image.fwu", true}, {"IMAGE.FWU", true}, {"imagefwu", true}, {"image.fwu.bak", false}};
  app.form.mnuFWCustom_Click();
  for (const auto& [name, taken] : cases) {
    WriteFirmware(app.workDir / name, {.version = 0x20});
    app.window.dialogAnswers = {(app.workDir / name).string()};
    app.form.Button_Click(FindDevice);
    EXPECT_EQ(app.Shown(), taken ? kReady : kIdle) << name;
    if (taken) app.form.Button_Click(AbortFlash);
  }
}

// A file refused after one that was accepted is refused: nothing of the earlier load remains.
TEST_F(CheckDeviceTest, ARefusedFileAfterAnAcceptedOneIsRefused) {
  app.WriteDefaultFirmware(0x20);
  app.form.Button_Click(FindDevice);
  app.form.Button_Click(AbortFlash);
  WriteFirmware(app.workDir / "TLX.fwu", {.signature = {'W', 'F'}});
  app.form.Button_Click(FindDevice);
  ASSERT_EQ(app.window.messages.size(), 1u);
  EXPECT_EQ(app.window.messages[0].text, kNoSupportText);
  EXPECT_EQ(app.Shown(), kIdle);
}

TEST_F(CheckDeviceTest, CustomThenDefaultBeforeACheckReadsTheDefaultFile) {
  app.WriteDefaultFirmware(0x20);
  app.form.mnuFWCustom_Click();
  app.form.mnuFWDefault_Click();
  app.form.Button_Click(FindDevice);
  EXPECT_EQ(std::vector(app.window.log.begin(), app.window.log.begin() + 4),
            (std::vector<std::string>{"Custom checked", "Default unchecked", "Custom unchecked",
                                      "Default checked"}));
  EXPECT_TRUE(app.window.dialogsShown.empty());
  EXPECT_EQ(app.Shown(), kReady);
}

}  // namespace
}  // namespace tlx
