// Opening by description through the real libftdi1, on a fake bus of FTDI bridges.
#include <gtest/gtest.h>

#include "libftdi_fixture.h"

namespace tlx::usb::testing {
namespace {

using LibftdiOpenTest = LibftdiFixture;

TEST_F(LibftdiOpenTest, OpensTheBoardAmongOtherDevices) {
  Plug({"USB Serial Converter"});
  Plug({kBoardName, 0x0403, 0x6001, OpenRefusal::Busy});
  Plug(kLockedBoard);
  Plug({kBoardName, 0x1D50});
  FakeFtdiDevice& board = Plug(kBoard);

  FT_HANDLE handle = 0;
  ASSERT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
  EXPECT_NE(handle, 0u);
  EXPECT_FALSE(d2xx_.PermissionDenied());
  for (const FakeFtdiDevice& device : bus_->devices) {
    EXPECT_EQ(device.claimed, &device == &board) << device.port;
    EXPECT_EQ(device.kernelDriverAttached, &device != &board) << device.port;
    EXPECT_EQ(device.openHandles, &device == &board ? 1 : 0) << device.port;
  }
}

TEST_F(LibftdiOpenTest, ABoardInUseByAnotherProgramIsNotOpenedTwice) {
  FakeFtdiDevice& board = Plug(kBoard);
  FtdiD2xx otherProgram(sysfs_.Path());
  FT_HANDLE first = 0;
  ASSERT_EQ(otherProgram.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &first), FT_OK);
  FT_HANDLE second = 0;
  EXPECT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &second), FT_DEVICE_NOT_OPENED);
  EXPECT_FALSE(d2xx_.PermissionDenied());
  EXPECT_EQ(board.openHandles, 1);
}

}  // namespace
}  // namespace tlx::usb::testing
