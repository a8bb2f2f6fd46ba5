// What the bus tells about one attached FTDI device without taking it from anyone: its ids,
// where it is plugged in, its product and serial strings, and whether another program holds
// it. A device this user may not open still shows, by the strings the kernel publishes to
// everyone in sysfs, so a missing udev rule can be told apart from no board.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "link/d2xx.h"
#include "usb/raw_transport.h"

struct libusb_device;

namespace tlx::usb {

inline constexpr std::uint16_t kFtdiVendorId = 0x0403;

struct DeviceFacts {
  DWORD usbId = 0;             // vendor id in the high 16 bits, product id in the low
  std::optional<DWORD> locId;  // nothing where a location id cannot say the port path
  std::string product{};
  std::string serial{};
  int code = 0;                // libusb's code when the product string could not be read
  bool noAccess = false;       // this user may not open it; the strings come from sysfs
  bool heldElsewhere = false;  // claimed by a program; only looked at when asked
};

// Nothing for a device that is not FTDI's. checkHeld: also find out whether a program
// holds the device, which costs a claim of its interface when no kernel driver has it.
std::optional<DeviceFacts> FactsOf(libusb_device* device, const std::filesystem::path& sysfsDevices,
                                   bool checkHeld);
// Where the device is plugged in, without asking the device anything; nothing where a
// location id cannot say the port path.
std::optional<DWORD> LocationOfDevice(libusb_device* device);
// Whether the device is the one the name names.
bool Names(const DeviceName& name, const DeviceFacts& facts);
FT_DEVICE_LIST_INFO_NODE NodeOf(const DeviceFacts& facts);

}  // namespace tlx::usb
