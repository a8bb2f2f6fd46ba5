#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app_harness.h"
#include "image/firmware_image.h"

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

// What a case puts where the default firmware file is looked for.
using PlaceFile = void (*)(const std::filesystem::path& file);

struct FileCase {
  const char* name;
  PlaceFile place;
  const char* title;  // nullptr: accepted
  const char* text;   // the message, or the status line when accepted
};

class FirmwareFileTest : public CheckDeviceTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(FirmwareFileTest, UserSeesTheMessageOfItsClass) {
  const FileCase& c = GetParam();
  c.place(app.workDir / "TLX.fwu");

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

void WriteValidCut(const std::filesystem::path& file, std::size_t length) {
  std::vector<std::uint8_t> bytes = test::EncodeImage(test::MakeImage({.version = 0x20}));
  bytes.resize(length, 0x7F);
  test::WriteBytes(file, bytes);
}

// Seeded random bytes: their decoded first bytes are not "FW".
void WriteRandomContainer(const std::filesystem::path& file) {
  std::mt19937 random(8);
  std::vector<std::uint8_t> bytes(kContainerSize);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
  test::WriteBytes(file, bytes);
}

constexpr char kUnable[] = "Unable to update!";
constexpr char kInvalid[] = "Invalid or missing firmware file!";
constexpr char kNotSupported[] = "Device not supported!";
constexpr char kNotSupportedText[] = "Device not currently supported for upgrading!";
constexpr char kTooOld[] = "Firmware is too old to update! Contact support@tambrelux.example!";

using Path = std::filesystem::path;

INSTANTIATE_TEST_SUITE_P(
    Files, FirmwareFileTest,
    ::testing::Values(
        FileCase{"missing", [](const Path&) {}, kUnable, kInvalid},
        FileCase{"folder", [](const Path& f) { std::filesystem::create_directory(f); }, kUnable,
                 kInvalid},
        FileCase{"empty", [](const Path& f) { test::WriteBytes(f, {}); }, kUnable, kInvalid},
        FileCase{"one_byte_short", [](const Path& f) { WriteValidCut(f, kContainerSize - 1); },
                 kUnable, kInvalid},
        FileCase{"tail_cut", [](const Path& f) { WriteValidCut(f, kContainerSize / 2); }, kUnable,
                 kInvalid},
        FileCase{"one_byte_long", [](const Path& f) { WriteValidCut(f, kContainerSize + 1); },
                 nullptr, "Firmware: v1.3  -  Upgrading to: v2.0"},
        FileCase{
            "all_zero",
            [](const Path& f) { test::WriteBytes(f, std::vector<std::uint8_t>(kContainerSize)); },
            kNotSupported, kNotSupportedText},
        FileCase{"random_container", WriteRandomContainer, kNotSupported, kNotSupportedText},
        FileCase{"wrong_signature",
                 [](const Path& f) {
                   test::WriteFirmware(f, {.signature = {'W', 'F'}});
                 },
                 kNotSupported, kNotSupportedText},
        FileCase{"lower_case_signature",
                 [](const Path& f) {
                   test::WriteFirmware(f, {.signature = {'f', 'w'}});
                 },
                 kNotSupported, kNotSupportedText},
        FileCase{"byte4_not_0", [](const Path& f) { test::WriteFirmware(f, {.byte4 = 1}); },
                 kNotSupported, kNotSupportedText},
        FileCase{"v1_1", [](const Path& f) { test::WriteFirmware(f, {.version = 0x11}); }, kUnable,
                 kTooOld},
        FileCase{"v1_0", [](const Path& f) { test::WriteFirmware(f, {.version = 0x10}); }, kUnable,
                 kTooOld},
        FileCase{"v0_15", [](const Path& f) { test::WriteFirmware(f, {.version = 0x0F}); }, kUnable,
                 kTooOld},
        FileCase{"v1_2", [](const Path& f) { test::WriteFirmware(f, {.version = 0x12}); }, nullptr,
                 "Firmware: v1.3  -  Upgrading to: v1.2"},
        FileCase{"v1_12", [](const Path& f) { test::WriteFirmware(f, {.version = 0x1C}); }, nullptr,
                 "Firmware: v1.3  -  Upgrading to: v1.2"},
        FileCase{"v2_0", [](const Path& f) { test::WriteFirmware(f, {.version = 0x20}); }, nullptr,
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
