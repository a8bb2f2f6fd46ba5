// A fake USB bus with FTDI bridges, a folder standing in for the kernel's sysfs listing, and
// the real libftdi1 in between, reached through the program's own D2XX realisation.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "fake_usb_bus.h"
#include "usb/ftdi_d2xx.h"

namespace tlx::usb::testing {

inline constexpr char kBoardName[] = "Tambrelux Pro";
// A product id of FTDI's that libftdi's own search by vendor alone does not cover.
inline constexpr std::uint16_t kBoardProductId = 0x6006;

class LibftdiFixture : public ::testing::Test {
 protected:
  LibftdiFixture();
  ~LibftdiFixture() override;

  // Plugs in a bridge (on a port of its own unless the spec names its ports) and lists its product
  // string in the sysfs folder, as the kernel does.
  FakeFtdiDevice& Plug(FakeFtdiSpec spec, std::unique_ptr<FifoPeer> peer = nullptr);
  FakeFtdiDevice& PlugBoard(std::unique_ptr<FifoPeer> peer = nullptr);
  // Opens the board as the device link does and returns its handle (0 on failure).
  FT_HANDLE OpenBoard();

  std::filesystem::path sysfs_;
  std::optional<FakeUsbBus> bus_{std::in_place};
  FtdiD2xx d2xx_;
  int pluggedCount_ = 0;
};

}  // namespace tlx::usb::testing
