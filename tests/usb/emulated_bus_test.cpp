// What a device list reads of the emulated bus: each bridge's serial number over USB (its
// string descriptor) and in sysfs, and its port, as plugged in.
#include "emulate/emulated_bus.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <fstream>
#include <map>

namespace tlx::test {
namespace {

using Serials = std::map<int, std::string>;  // by port; empty: no serial number

std::string SerialOverUsb(libusb_device* device) {
  libusb_device_descriptor descriptor{};
  libusb_device_handle* handle = nullptr;
  if (libusb_get_device_descriptor(device, &descriptor) < 0 || descriptor.iSerialNumber == 0 ||
      libusb_open(device, &handle) < 0)
    return {};
  unsigned char text[128] = {};
  const int length =
      libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text, sizeof text);
  libusb_close(handle);
  return length < 0 ? "unreadable" : std::string(reinterpret_cast<char*>(text), length);
}

TEST(EmulatedBusTest, ALineWithARepeatedAndAMissingSerialListsAsPluggedIn) {
  const Serials plugged{{1, "LINE-7"}, {2, "LINE-7"}, {3, ""}};
  emulate::EmulatedBus bus;
  for (const auto& [port, serial] : plugged) bus.Plug({.serial = serial});

  libusb_context* context = nullptr;
  ASSERT_EQ(libusb_init(&context), 0);
  libusb_device** devices = nullptr;
  const auto count = libusb_get_device_list(context, &devices);
  Serials overUsb, inSysfs;
  for (auto i = 0; i < count; ++i) {
    const int port = libusb_get_port_number(devices[i]);
    overUsb[port] = SerialOverUsb(devices[i]);
    std::ifstream("/sys/bus/usb/devices/1-" + std::to_string(port) + "/serial") >> inSysfs[port];
  }
  libusb_free_device_list(devices, 1);
  libusb_exit(context);
  EXPECT_EQ(overUsb, plugged);
  EXPECT_EQ(inSysfs, plugged);
}

}  // namespace
}  // namespace tlx::test
