// Opening by description through the real libftdi1, on a fake bus of FTDI bridges.
#include <gtest/gtest.h>

#include "libftdi_fixture.h"

namespace tlx::usb::testing {
namespace {

using LibftdiOpenTest = LibftdiFixture;

TEST_F(LibftdiOpenTest, OpensTheBoardAmongOtherDevices) {
  FakeFtdiDevice& cable = Plug(Bridge("USB Serial Converter"));
  FakeFtdiDevice& busy = Plug(Bridge(kBoardName).Refusing(OpenRefusal::Busy));
  FakeFtdiDevice& stranger = Plug(Bridge(kBoardName).Vendor(0x1D50));
  FakeFtdiDevice& board = PlugBoard();

  FT_HANDLE handle = 0;
  ASSERT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
  EXPECT_NE(handle, 0u);
  EXPECT_TRUE(board.Claimed());
  EXPECT_FALSE(board.KernelDriverAttached());
  for (FakeFtdiDevice* other : {&cable, &busy, &stranger}) {
    EXPECT_FALSE(other->Claimed());
    EXPECT_TRUE(other->KernelDriverAttached());
    EXPECT_EQ(other->OpenHandles(), 0);
  }
  EXPECT_FALSE(d2xx_.PermissionDenied());
}

TEST_F(LibftdiOpenTest, TheDescriptionMustMatchExactly) {
  Plug(Bridge("Tambrelux Pro II"));
  Plug(Bridge("Tambrelux"));
  Plug(Bridge("tambrelux pro"));
  FT_HANDLE handle = 0;
  EXPECT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(handle, 0u);
}

// Which bus leads to which status, and whether the program should name the udev rule.
struct AbsentCase {
  const char* name;
  bool usbPresent;
  std::vector<FakeFtdiSpec> devices;
  bool sysfsLists;  // whether the kernel's listing names each device's product
  FT_STATUS status;
  bool permissionDenied;
};

class LibftdiAbsentTest : public LibftdiFixture,
                          public ::testing::WithParamInterface<AbsentCase> {};

TEST_P(LibftdiAbsentTest, FailsWithoutHangingOrLeaking) {
  const AbsentCase& c = GetParam();
  for (const FakeFtdiSpec& spec : c.devices) Plug(spec);
  if (!c.sysfsLists) std::filesystem::remove_all(sysfs_);
  if (!c.usbPresent) bus_.reset();

  FT_HANDLE handle = 0;
  EXPECT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), c.status);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(d2xx_.PermissionDenied(), c.permissionDenied);
  if (!bus_) return;
  EXPECT_EQ(bus_->OpenContexts(), 0);
  for (FakeFtdiDevice* device : bus_->Present()) EXPECT_EQ(device->OpenHandles(), 0);
}

const FakeFtdiSpec kLockedBoard = Bridge(kBoardName).Refusing(OpenRefusal::Access);
const FakeFtdiSpec kLockedCable = Bridge("USB Serial Converter").Refusing(OpenRefusal::Access);

INSTANTIATE_TEST_SUITE_P(
    Buses, LibftdiAbsentTest,
    ::testing::Values(
        AbsentCase{"NoUsbAtAll", false, {}, true, FT_DEVICE_NOT_FOUND, false},
        AbsentCase{"EmptyBus", true, {}, true, FT_DEVICE_NOT_FOUND, false},
        AbsentCase{"OnlyOtherDevices",
                   true,
                   {Bridge("USB Serial Converter"), Bridge("Mouse").Vendor(0x046D)},
                   true,
                   FT_DEVICE_NOT_FOUND,
                   false},
        AbsentCase{
            "BoardWithoutPermission", true, {kLockedBoard}, true, FT_DEVICE_NOT_OPENED, true},
        AbsentCase{
            "OtherDeviceWithoutPermission", true, {kLockedCable}, true, FT_DEVICE_NOT_FOUND, false},
        AbsentCase{
            "LockedDeviceNotListed", true, {kLockedBoard}, false, FT_DEVICE_NOT_FOUND, false},
        AbsentCase{"BoardBusy",
                   true,
                   {Bridge(kBoardName).Refusing(OpenRefusal::Busy)},
                   true,
                   FT_DEVICE_NOT_FOUND,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibftdiOpenTest, ABoardInUseByAnotherProgramIsNotOpenedTwice) {
  PlugBoard();
  FtdiD2xx otherProgram(sysfs_);
  FT_HANDLE first = 0;
  ASSERT_EQ(otherProgram.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &first), FT_OK);
  FT_HANDLE second = 0;
  EXPECT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &second), FT_DEVICE_NOT_OPENED);
  EXPECT_FALSE(d2xx_.PermissionDenied());
  EXPECT_EQ(bus_->Present()[0]->OpenHandles(), 1);
}

TEST_F(LibftdiOpenTest, ALockedTwinDoesNotHideAnOpenableBoard) {
  Plug(kLockedBoard);
  FakeFtdiDevice& board = PlugBoard();
  FT_HANDLE handle = 0;
  EXPECT_EQ(d2xx_.FT_OpenEx(kBoardName, FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
  EXPECT_TRUE(board.Claimed());
  EXPECT_FALSE(d2xx_.PermissionDenied());
}

}  // namespace
}  // namespace tlx::usb::testing
