// The D2XX calls for real boards, over libftdi1. The program for real boards builds one and
// hands it to the window logic like any other D2XX realisation.
#pragma once

#include <filesystem>

#include "usb/d2xx_adapter.h"
#include "usb/libftdi_bus.h"

namespace tlx::usb {

// The one line the program prints on stderr when PermissionDenied() is true after a failed
// open: the board is there, but the udev rule that lets the logged-in user open it is not.
inline constexpr char kUdevRuleAdvice[] =
    "The Tambrelux Pro is attached, but this user may not open it: install the udev rule "
    "60-tambrelux-pro.rules into /etc/udev/rules.d (the tambrelux-updater package puts it in "
    "/usr/lib/udev/rules.d), then unplug the board and plug it in again.";

class FtdiD2xx : public D2xxAdapter {
 public:
  explicit FtdiD2xx(std::filesystem::path sysfsDevices = kSysfsUsbDevices);
};

}  // namespace tlx::usb
