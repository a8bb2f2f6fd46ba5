// Finds FTDI bridges and opens them through libftdi1. libftdi's own search covers only five
// product ids, so every device of FTDI's vendor id is looked at. Each search and each opened
// device has a libusb context of its own, so boards opened from one bus can each be driven
// from a thread of their own.
#pragma once

#include <filesystem>
#include <string>

#include "usb/raw_transport.h"

namespace tlx::usb {

inline constexpr char kSysfsUsbDevices[] = "/sys/bus/usb/devices";

class LibftdiBus : public RawBus {
 public:
  // sysfsDevices: where the kernel lists USB devices; it names the strings of a device
  // that this user may not open.
  explicit LibftdiBus(std::filesystem::path sysfsDevices = kSysfsUsbDevices);

  OpenOutcome Open(const DeviceName& name) override;
  int List(std::vector<FT_DEVICE_LIST_INFO_NODE>& nodes) override;

 private:
  std::filesystem::path sysfsDevices_;
};

}  // namespace tlx::usb
