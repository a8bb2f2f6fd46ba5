// A fake USB bus of FTDI bridges, a folder standing in for the kernel's sysfs listing, and
// the real libftdi1 in between, reached through the program's own D2XX realisation.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "fake_usb_bus.h"
#include "firmware_files.h"
#include "usb/ftdi_d2xx.h"

namespace tlx::usb::testing {

inline constexpr char kBoardName[] = "Tambrelux Pro";
// A product id of FTDI's that libftdi's own search by vendor alone does not cover.
inline const FakeFtdiSpec kBoard{kBoardName, 0x0403, 0x6006};
inline const FakeFtdiSpec kLockedBoard{kBoardName, 0x0403, 0x6001, OpenRefusal::Access};

class LibftdiFixture : public ::testing::Test {
 protected:
  // Lists the product string in the sysfs folder too, as the kernel does.
  FakeFtdiDevice& Plug(FakeFtdiSpec spec, sim::Bridge* fifos = nullptr) {
    FakeFtdiDevice& device = bus_->Plug(std::move(spec), fifos);
    const auto folder = sysfs_ / ("1-" + std::to_string(device.port));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "product") << device.spec.product << '\n';
    return device;
  }

  // Opens the board with the settings of the device link; 0 on failure.
  FT_HANDLE OpenBoard() {
    FT_HANDLE handle = 0;
    if (d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle) != FT_OK) return 0;
    EXPECT_EQ(d2xx_.FT_SetTimeouts(handle, 100, 0), FT_OK);
    EXPECT_EQ(d2xx_.FT_SetLatencyTimer(handle, 2), FT_OK);
    EXPECT_EQ(d2xx_.FT_SetUSBParameters(handle, 65536, 65536), FT_OK);
    return handle;
  }

  void ExpectNothingLeftOpen() {
    EXPECT_EQ(bus_->openContexts, 0);
    for (const FakeFtdiDevice& device : bus_->devices) EXPECT_EQ(device.openHandles, 0);
  }

  test::TempFolder sysfs_;
  std::optional<FakeUsbBus> bus_{std::in_place};
  FtdiD2xx d2xx_{sysfs_.Path()};
};

}  // namespace tlx::usb::testing
