// The program's D2XX realisation over the system's own libftdi1 and libusb, on whatever bus
// this machine has: a description that no device carries is not found, at once and cleanly.
#include "usb/ftdi_d2xx.h"

#include <gtest/gtest.h>

namespace tlx::usb {
namespace {

TEST(FtdiD2xxTest, ADescriptionNoDeviceCarriesIsNotFound) {
  FtdiD2xx d2xx;
  FT_HANDLE handle = 0;
  EXPECT_EQ(d2xx.FT_OpenEx("Tambrelux Pro (no such board)", FT_OPEN_BY_DESCRIPTION, &handle),
            FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(handle, 0u);
  EXPECT_FALSE(d2xx.PermissionDenied());
  EXPECT_EQ(d2xx.FT_Close(handle), FT_INVALID_HANDLE);
}

}  // namespace
}  // namespace tlx::usb
