// Finds an FTDI bridge by its product string and opens it through libftdi1. libftdi's own
// search covers only five product ids, so every device of FTDI's vendor id is looked at.
#pragma once

#include <filesystem>
#include <string>

#include "usb/raw_transport.h"

namespace tlx::usb {

inline constexpr std::uint16_t kFtdiVendorId = 0x0403;
inline constexpr char kSysfsUsbDevices[] = "/sys/bus/usb/devices";

class LibftdiBus : public RawBus {
 public:
  // sysfsDevices: where the kernel lists USB devices; it names the product of a device
  // that this user may not open, so a missing udev rule can be told apart from no board.
  explicit LibftdiBus(std::filesystem::path sysfsDevices = kSysfsUsbDevices);

  OpenOutcome OpenByDescription(const std::string& description) override;

 private:
  std::filesystem::path sysfsDevices_;
};

}  // namespace tlx::usb
