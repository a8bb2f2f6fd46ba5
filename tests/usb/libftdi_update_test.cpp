// A whole update through the real libftdi1: the device link and the update engine over the
// program's D2XX realisation, a fake FTDI bridge, and the simulated board's bootloader.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "bootloader_peer.h"
#include "flash/update_engine.h"
#include "libftdi_fixture.h"
#include "link/tlx_module.h"
#include "recording_window.h"

namespace tlx::usb::testing {
namespace {

constexpr std::size_t kImageBytes = 65544;
constexpr std::size_t kHeaderBytes = 8;

class LibftdiUpdateTest : public LibftdiFixture {
 protected:
  LibftdiUpdateTest()
      : board_({'K', 'V'}, 0x21, 0x11),
        bridge_(PlugBoard(std::make_unique<BootloaderPeer>(board_))),
        link_(d2xx_, image_),
        engine_(link_, window_, image_, imageCopy_, failureFlag_) {
    std::mt19937 random(7);
    std::generate(image_.begin(), image_.end(), [&] { return std::uint8_t(random()); });
    original_ = image_;
  }

  // Opens and queries the board as the window does at start-up, then flashes it.
  void Update() {
    link_.OpenDevice();
    ASSERT_EQ(link_.LinkStatus, 0);
    link_.QueryStatus();
    ASSERT_EQ(link_.LinkStatus, 0);
    ASSERT_EQ(link_.HardwareVersion.Byte(), 0x21);
    engine_.FlashDevice();
    link_.CloseDevice();
  }

  bool FlashHoldsImage(std::size_t first, std::size_t end) const {
    return std::equal(board_.Flash().begin() + first, board_.Flash().begin() + end,
                      original_.begin() + kHeaderBytes + first);
  }

  sim::BootloaderModel board_;
  FakeFtdiDevice& bridge_;
  std::vector<std::uint8_t> image_ = std::vector<std::uint8_t>(kImageBytes);
  std::vector<std::uint8_t> imageCopy_ = std::vector<std::uint8_t>(kImageBytes);
  std::vector<std::uint8_t> original_;
  std::int16_t failureFlag_ = 0;
  test::RecordingWindow window_;
  TLXModule link_;
  UpdateEngine engine_;
};

TEST_F(LibftdiUpdateTest, RewritesTheWholeFlash) {
  Update();
  EXPECT_EQ(failureFlag_, 0);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_TRUE(FlashHoldsImage(0, sim::kFlashSize));
  EXPECT_FALSE(board_.ProtectedRangeUnlocked());
  EXPECT_TRUE(bridge_.KernelDriverAttached());
  EXPECT_EQ(bridge_.OpenHandles(), 0);
}

// A command frame of the bootloader: tag, then a 3-byte big-endian flash address.
auto FrameFor(char first, char second, std::uint32_t address) {
  return [=](std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 5 && bytes[0] == first && bytes[1] == second &&
           std::uint32_t((bytes[2] << 16) | (bytes[3] << 8) | bytes[4]) == address;
  };
}

struct UnplugCase {
  const char* name;
  char command[3];
  std::uint32_t address;
  const char* title;
  const char* text;
};

class LibftdiUnplugTest : public LibftdiUpdateTest,
                          public ::testing::WithParamInterface<UnplugCase> {};

TEST_P(LibftdiUnplugTest, EndsWithTheStepMessage) {
  const UnplugCase& c = GetParam();
  bridge_.UnplugAtBulkOut(FrameFor(c.command[0], c.command[1], c.address));
  Update();
  EXPECT_EQ(failureFlag_, -2);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, c.title);
  EXPECT_EQ(window_.messages[0].text, c.text);
  EXPECT_FALSE(bridge_.Present());
  EXPECT_EQ(bridge_.OpenHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, LibftdiUnplugTest,
    ::testing::Values(
        UnplugCase{"WritingStep2", "WF", 2048 + 3 * 1024, "Update Failure!",
                   "Step 2 - Device communication error - Corruption possible!  Re-try update!"},
        UnplugCase{"ReadingBackStep1", "RF", 8192 + 5 * 1024, "Update Failure!",
                   "Step 1 - Device communication error - Corruption possible!  Re-try update!"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::usb::testing
