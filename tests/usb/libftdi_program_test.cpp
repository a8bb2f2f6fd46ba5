// The window logic as the program for real boards runs it: over the program's D2XX
// realisation and the real libftdi1, a fake FTDI bridge, and the simulated board's bootloader.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/frm_start.h"
#include "bootloader_peer.h"
#include "fake_process.h"
#include "firmware_files.h"
#include "libftdi_fixture.h"
#include "recording_window.h"

namespace tlx::usb::testing {
namespace {

enum Click : std::int16_t { FindDevice = 0, FlashDevice = 1 };

class LibftdiProgramTest : public LibftdiFixture {
 protected:
  LibftdiProgramTest() : board_({'K', 'V'}, 0x21, 0x11) {
    window_.onUnload = [this] {
      bool cancel = false;
      form_.Form_Unload(cancel);
    };
    image_ = test::WriteFirmware(workDir_ / "TLX.fwu", {.version = 0x20});
  }

  FakeFtdiDevice& PlugTheBoard() { return PlugBoard(std::make_unique<BootloaderPeer>(board_)); }

  void StartFindAndFlash() {
    form_.Form_Load();
    ASSERT_TRUE(window_.messages.empty()) << window_.messages[0].text;
    form_.Button_Click(FindDevice);
    form_.Button_Click(FlashDevice);
  }

  bool BoardHoldsImage() const {
    return std::equal(board_.Flash().begin(), board_.Flash().end(), image_.begin() + 8);
  }

  bool CloseWindow() {
    bool cancel = false;
    form_.Form_QueryUnload(cancel, 0);
    if (!cancel) window_.Unload();
    return !cancel;
  }

  sim::BootloaderModel board_;
  std::vector<std::uint8_t> image_;
  test::TempFolder workDir_;
  test::CurrentDirectory inWorkDir_{workDir_.Path()};
  test::RecordingWindow window_;
  test::FakeProcess process_;
  frmStart form_{window_, process_, d2xx_};
};

TEST_F(LibftdiProgramTest, FlashesTheBoardAndGivesItBack) {
  FakeFtdiDevice& bridge = PlugTheBoard();
  StartFindAndFlash();
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(window_.statusText, "Flash Complete!");
  EXPECT_TRUE(BoardHoldsImage());
  EXPECT_FALSE(board_.ProtectedRangeUnlocked());

  ASSERT_TRUE(CloseWindow());
  EXPECT_TRUE(bridge.KernelDriverAttached());
  EXPECT_EQ(bridge.OpenHandles(), 0);
  EXPECT_EQ(bus_->OpenContexts(), 0);
}

// A command frame of the bootloader: tag, then a 3-byte big-endian flash address.
FakeFtdiDevice::TransferMatch FrameFor(const char* tag, std::uint32_t address) {
  return [=](std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 5 && bytes[0] == tag[0] && bytes[1] == tag[1] &&
           std::uint32_t((bytes[2] << 16) | (bytes[3] << 8) | bytes[4]) == address;
  };
}

struct UnplugCase {
  const char* name;
  const char* command;
  std::uint32_t address;
  const char* text;
};

class LibftdiUnplugTest : public LibftdiProgramTest,
                          public ::testing::WithParamInterface<UnplugCase> {};

TEST_P(LibftdiUnplugTest, EndsWithTheStepMessage) {
  const UnplugCase& c = GetParam();
  FakeFtdiDevice& bridge = PlugTheBoard();
  bridge.UnplugAtBulkOut(FrameFor(c.command, c.address));
  StartFindAndFlash();
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, "Update Failure!");
  EXPECT_EQ(window_.messages[0].text, c.text);
  EXPECT_EQ(form_.FailureFlag, -2);
  EXPECT_EQ(window_.VisibleButtons(), std::vector<int>{FindDevice});
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(bridge.OpenHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, LibftdiUnplugTest,
    ::testing::Values(
        UnplugCase{"WritingStep2", "WF", 2048 + 3 * 1024,
                   "Step 2 - Device communication error - Corruption possible!  Re-try update!"},
        UnplugCase{"ReadingBackStep1", "RF", 8192 + 5 * 1024,
                   "Step 1 - Device communication error - Corruption possible!  Re-try update!"}),
    [](const auto& info) { return std::string(info.param.name); });

struct AbsentBoardCase {
  const char* name;
  bool usbPresent;
  bool boardLocked;
};

class LibftdiNoBoardTest : public LibftdiProgramTest,
                           public ::testing::WithParamInterface<AbsentBoardCase> {};

TEST_P(LibftdiNoBoardTest, SaysHardwareNotFoundAndEnds) {
  const AbsentBoardCase& c = GetParam();
  Plug(Bridge("USB Serial Converter"));
  if (c.boardLocked) Plug(Bridge(kBoardName).Refusing(OpenRefusal::Access));
  if (!c.usbPresent) bus_.reset();
  form_.Form_Load();
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, "USB Error!");
  EXPECT_EQ(window_.messages[0].text, "Tambrelux Pro hardware not found!");
  EXPECT_TRUE(window_.unloaded);
  EXPECT_FALSE(window_.shown);
  EXPECT_EQ(d2xx_.PermissionDenied(), c.boardLocked);
}

INSTANTIATE_TEST_SUITE_P(Machines, LibftdiNoBoardTest,
                         ::testing::Values(AbsentBoardCase{"WithoutUsb", false, false},
                                           AbsentBoardCase{"WithoutTheBoard", true, false},
                                           AbsentBoardCase{"WithoutTheUdevRule", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::usb::testing
