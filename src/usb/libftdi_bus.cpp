#include "usb/libftdi_bus.h"

#include <ftdi.h>
#include <libusb.h>

#include <array>
#include <fstream>

#include "usb/libftdi_device.h"

namespace tlx::usb {
namespace {

// USB string descriptors hold at most 126 characters.
constexpr int kMaxStringLength = 256;
// USB allows at most 7 tiers of hubs.
constexpr int kMaxPortDepth = 7;

struct ProductString {
  int code = 0;  // libusb's code when the device could not be opened or read
  std::string text;
};

ProductString ReadProductString(libusb_device* device, std::uint8_t index) {
  if (index == 0) return {LIBUSB_ERROR_NOT_FOUND, {}};
  libusb_device_handle* handle = nullptr;
  const int opened = libusb_open(device, &handle);
  if (opened < 0) return {opened, {}};
  std::array<unsigned char, kMaxStringLength> text{};
  const int length =
      libusb_get_string_descriptor_ascii(handle, index, text.data(), static_cast<int>(text.size()));
  libusb_close(handle);
  if (length < 0) return {length, {}};
  return {0, std::string(reinterpret_cast<const char*>(text.data()), length)};
}

// The kernel names a device "<bus>-<port>.<port>..." and publishes its product string there
// for everyone to read, unlike the device node itself.
std::string SysfsProduct(const std::filesystem::path& root, libusb_device* device) {
  std::array<std::uint8_t, kMaxPortDepth> ports{};
  const int depth = libusb_get_port_numbers(device, ports.data(), kMaxPortDepth);
  if (depth <= 0) return {};
  std::string name = std::to_string(libusb_get_bus_number(device)) + "-";
  for (int i = 0; i < depth; ++i) {
    if (i > 0) name += '.';
    name += std::to_string(ports[i]);
  }
  std::ifstream file(root / name / "product");
  std::string product;
  std::getline(file, product);
  return product;
}

// libftdi leaves the handle open after some of its failures; a skipped device must not
// stay opened behind our back.
void ForgetDevice(ftdi_context* context) {
  if (context->usb_dev == nullptr) return;
  libusb_close(context->usb_dev);
  context->usb_dev = nullptr;
}

}  // namespace

LibftdiBus::LibftdiBus(std::filesystem::path sysfsDevices)
    : sysfsDevices_(std::move(sysfsDevices)) {}

OpenOutcome LibftdiBus::OpenByDescription(const std::string& description) {
  ftdi_context* context = ftdi_new();
  if (context == nullptr) return {nullptr, RawOp::Scan, LIBUSB_ERROR_OTHER, false};
  context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
  libusb_device** devices = nullptr;
  const auto count = libusb_get_device_list(context->usb_ctx, &devices);
  if (count < 0) {
    ftdi_free(context);
    return {nullptr, RawOp::Scan, static_cast<int>(count), false};
  }
  OpenOutcome outcome{nullptr, RawOp::Scan, LIBUSB_ERROR_NOT_FOUND, false};
  for (auto i = 0; i < count && outcome.device == nullptr; ++i) {
    libusb_device* device = devices[i];
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) < 0) continue;
    if (descriptor.idVendor != kFtdiVendorId) continue;
    const ProductString product = ReadProductString(device, descriptor.iProduct);
    if (product.code == LIBUSB_ERROR_ACCESS && SysfsProduct(sysfsDevices_, device) == description) {
      outcome = {nullptr, RawOp::Open, LIBUSB_ERROR_ACCESS, true};
      continue;
    }
    if (product.code < 0 || product.text != description) continue;
    const int opened = ftdi_usb_open_dev(context, device);
    if (opened == 0) {
      outcome.device = std::make_unique<LibftdiDevice>(context);
    } else {
      ForgetDevice(context);
      outcome = {nullptr, RawOp::Open, opened, outcome.permissionDenied};
    }
  }
  libusb_free_device_list(devices, 1);
  if (outcome.device == nullptr) ftdi_free(context);
  return outcome;
}

}  // namespace tlx::usb
