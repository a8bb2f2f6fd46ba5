// The window logic as the program for real boards runs it: over the program's D2XX
// realisation and the real libftdi1, a fake FTDI bridge, and the simulated board's bootloader.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/frm_start.h"
#include "fake_process.h"
#include "libftdi_fixture.h"
#include "recording_window.h"

namespace tlx::usb::testing {
namespace {

enum Click : std::int16_t { FindDevice = 0, FlashDevice = 1 };

class LibftdiProgramTest : public LibftdiFixture {
 protected:
  LibftdiProgramTest() {
    window_.onUnload = [this] {
      bool cancel = false;
      form_.Form_Unload(cancel);
    };
  }

  FakeFtdiDevice& PlugTheBoard() { return Plug(kBoard, &fifos_); }

  void StartFindAndFlash() {
    form_.Form_Load();
    ASSERT_TRUE(window_.messages.empty()) << window_.messages[0].text;
    form_.Button_Click(FindDevice);
    form_.Button_Click(FlashDevice);
  }

  bool CloseWindow() {
    bool cancel = false;
    form_.Form_QueryUnload(cancel, 0);
    if (!cancel) window_.Unload();
    return !cancel;
  }

  sim::BootloaderModel board_{{'K', 'V'}, 0x21, 0x11};
  sim::Bridge fifos_{board_, sim::Pace::Instant, {}};
  test::TempFolder workDir_;
  std::vector<std::uint8_t> image_ = test::WriteFirmware(workDir_ / "TLX.fwu", {.version = 0x20});
  test::CurrentDirectory inWorkDir_{workDir_.Path()};
  test::RecordingWindow window_;
  test::FakeProcess process_;
  std::ostringstream logWarnings_;
  SessionLog log_{{}, logWarnings_};
  frmStart form_{window_, process_, d2xx_, log_};
};

TEST_F(LibftdiProgramTest, FlashesTheBoardAndGivesItBack) {
  FakeFtdiDevice& bridge = PlugTheBoard();
  StartFindAndFlash();
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(window_.statusText, "Flash Complete!");
  EXPECT_TRUE(std::equal(board_.Flash().begin(), board_.Flash().end(), image_.begin() + 8));
  EXPECT_FALSE(board_.ProtectedRangeUnlocked());

  ASSERT_TRUE(CloseWindow());
  EXPECT_TRUE(bridge.kernelDriverAttached);
  ExpectNothingLeftOpen();
}

struct UnplugCase {
  const char* name;
  const char* command;
  std::uint32_t address;
  const char* text;
};

class LibftdiUnplugTest : public LibftdiProgramTest,
                          public ::testing::WithParamInterface<UnplugCase> {};

// The cable goes with the command frame (tag, 3-byte big-endian address) of one block.
TEST_P(LibftdiUnplugTest, EndsWithTheStepMessage) {
  const UnplugCase& c = GetParam();
  FakeFtdiDevice& bridge = PlugTheBoard();
  bridge.unplugAt = [&c](std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 5 && bytes[0] == c.command[0] && bytes[1] == c.command[1] &&
           std::uint32_t((bytes[2] << 16) | (bytes[3] << 8) | bytes[4]) == c.address;
  };
  StartFindAndFlash();
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, "Update Failure!");
  EXPECT_EQ(window_.messages[0].text, c.text);
  EXPECT_EQ(form_.FailureFlag, -2);
  EXPECT_EQ(window_.VisibleButtons(), std::vector<int>{FindDevice});
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(bridge.openHandles, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, LibftdiUnplugTest,
    ::testing::Values(
        UnplugCase{"WritingStep2", "WF", 2048 + 3 * 1024,
                   "Step 2 - Device communication error - Corruption possible!  Re-try update!"},
        UnplugCase{"ReadingBackStep1", "RF", 8192 + 5 * 1024,
                   "Step 1 - Device communication error - Corruption possible!  Re-try update!"}),
    [](const auto& info) { return std::string(info.param.name); });

// Which machine leads to which status, and whether the program should name the udev rule.
struct NoBoardCase {
  const char* name;
  bool usbPresent;
  std::vector<FakeFtdiSpec> devices;
  bool sysfsLists;  // whether the kernel's listing names each device's product
  FT_STATUS status;
  bool permissionDenied;
};

class LibftdiNoBoardTest : public LibftdiProgramTest,
                           public ::testing::WithParamInterface<NoBoardCase> {};

TEST_P(LibftdiNoBoardTest, SaysHardwareNotFoundAndEnds) {
  const NoBoardCase& c = GetParam();
  for (const FakeFtdiSpec& spec : c.devices) Plug(spec);
  if (!c.sysfsLists) std::filesystem::remove_all(sysfs_.Path());
  if (!c.usbPresent) bus_.reset();
  FT_HANDLE handle = 0;
  EXPECT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), c.status);
  EXPECT_EQ(handle, 0u);

  form_.Form_Load();
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, "USB Error!");
  EXPECT_EQ(window_.messages[0].text, "Tambrelux Pro hardware not found!");
  EXPECT_TRUE(window_.unloaded);
  EXPECT_FALSE(window_.shown);
  EXPECT_EQ(d2xx_.PermissionDenied(), c.permissionDenied);
  if (bus_) ExpectNothingLeftOpen();
}

const FakeFtdiSpec kBusyBoard{kBoardName, 0x0403, 0x6001, OpenRefusal::Busy};
const std::vector<FakeFtdiSpec> kOthers{
    {"USB Serial Converter"}, {"Mouse", 0x046D},
    {"Tambrelux Pro II"},     {"Tambrelux"},
    {"tambrelux pro"},        {"USB Serial Converter", 0x0403, 0x6001, OpenRefusal::Access}};

INSTANTIATE_TEST_SUITE_P(
    Machines, LibftdiNoBoardTest,
    ::testing::Values(
        NoBoardCase{"WithoutUsb", false, {}, true, FT_DEVICE_NOT_FOUND, false},
        NoBoardCase{"WithoutTheBoard", true, kOthers, true, FT_DEVICE_NOT_FOUND, false},
        NoBoardCase{"WithoutTheUdevRule", true, {kLockedBoard}, true, FT_DEVICE_NOT_OPENED, true},
        NoBoardCase{"LockedAndNotListed", true, {kLockedBoard}, false, FT_DEVICE_NOT_FOUND, false},
        NoBoardCase{"BoardBusy", true, {kBusyBoard}, true, FT_DEVICE_NOT_FOUND, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::usb::testing
