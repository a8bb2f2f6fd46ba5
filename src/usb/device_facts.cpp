#include "usb/device_facts.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <span>

#include "link/device_list.h"
#include "link/device_location.h"

namespace tlx::usb {
namespace {

// USB string descriptors hold at most 126 characters.
constexpr int kMaxStringLength = 256;
// USB allows at most 7 tiers of hubs.
constexpr int kMaxPortDepth = 7;

struct PortNumbers {
  std::uint8_t bus = 0;
  std::array<std::uint8_t, kMaxPortDepth> ports{};
  int depth = 0;
};

PortNumbers PortsOf(libusb_device* device) {
  PortNumbers numbers{libusb_get_bus_number(device)};
  numbers.depth = libusb_get_port_numbers(device, numbers.ports.data(), kMaxPortDepth);
  return numbers;
}

std::optional<DWORD> LocationOfPorts(const PortNumbers& numbers) {
  if (numbers.depth <= 0) return {};
  return LocationOf(numbers.bus, {numbers.ports.begin(), numbers.ports.begin() + numbers.depth});
}

// The kernel names a device "<bus>-<port>.<port>..." and publishes its strings there for
// everyone to read, unlike the device node itself.
std::string SysfsString(const std::filesystem::path& root, const PortNumbers& numbers,
                        const char* attribute) {
  if (numbers.depth <= 0) return {};
  const auto ports = std::span(numbers.ports).first(static_cast<std::size_t>(numbers.depth));
  std::ifstream file(root / PortPath(numbers.bus, ports) / attribute);
  std::string text;
  std::getline(file, text);
  return text;
}

// A negative libusb code, or the length read.
int ReadString(libusb_device_handle* handle, std::uint8_t index, std::string& text) {
  if (index == 0) return LIBUSB_ERROR_NOT_FOUND;
  std::array<unsigned char, kMaxStringLength> buffer{};
  const int length = libusb_get_string_descriptor_ascii(handle, index, buffer.data(),
                                                        static_cast<int>(buffer.size()));
  if (length >= 0) text.assign(reinterpret_cast<const char*>(buffer.data()), length);
  return length;
}

// The serial driver bound means no program holds the device. With no kernel driver, a
// program that claimed the interface holds it; the claim is given back at once.
bool HeldByAProgram(libusb_device_handle* handle) {
  if (libusb_kernel_driver_active(handle, 0) != 0) return false;
  const int claimed = libusb_claim_interface(handle, 0);
  if (claimed == 0) libusb_release_interface(handle, 0);
  return claimed == LIBUSB_ERROR_BUSY;
}

}  // namespace

std::optional<DeviceFacts> FactsOf(libusb_device* device, const std::filesystem::path& sysfsDevices,
                                   bool checkHeld) {
  libusb_device_descriptor descriptor{};
  if (libusb_get_device_descriptor(device, &descriptor) < 0) return {};
  if (descriptor.idVendor != kFtdiVendorId) return {};
  const PortNumbers numbers = PortsOf(device);
  DeviceFacts facts{DWORD{descriptor.idVendor} << 16 | descriptor.idProduct,
                    LocationOfPorts(numbers)};
  libusb_device_handle* handle = nullptr;
  facts.code = libusb_open(device, &handle);
  if (facts.code == LIBUSB_ERROR_ACCESS) {
    facts.noAccess = true;
    facts.product = SysfsString(sysfsDevices, numbers, "product");
    facts.serial = SysfsString(sysfsDevices, numbers, "serial");
  }
  if (facts.code < 0) return facts;
  facts.code = std::min(ReadString(handle, descriptor.iProduct, facts.product), 0);
  ReadString(handle, descriptor.iSerialNumber, facts.serial);
  if (checkHeld) facts.heldElsewhere = HeldByAProgram(handle);
  libusb_close(handle);
  return facts;
}

std::optional<DWORD> LocationOfDevice(libusb_device* device) {
  return LocationOfPorts(PortsOf(device));
}

bool Names(const DeviceName& name, const DeviceFacts& facts) {
  switch (name.flags) {
    case FT_OPEN_BY_LOCATION:
      return facts.locId == name.locId;
    case FT_OPEN_BY_SERIAL_NUMBER:
      return !facts.serial.empty() && facts.serial == name.text;
    case FT_OPEN_BY_DESCRIPTION:
      return (facts.code == 0 || facts.noAccess) && facts.product == name.text;
    default:
      return false;
  }
}

FT_DEVICE_LIST_INFO_NODE NodeOf(const DeviceFacts& facts) {
  FT_DEVICE_LIST_INFO_NODE node;
  node.Flags =
      (facts.noAccess ? FT_FLAGS_NO_ACCESS : 0) | (facts.heldElsewhere ? FT_FLAGS_OPENED : 0);
  node.ID = facts.usbId;
  node.LocId = facts.locId.value_or(0);
  SetNodeText(node.SerialNumber, facts.serial);
  SetNodeText(node.Description, facts.product);
  return node;
}

}  // namespace tlx::usb
