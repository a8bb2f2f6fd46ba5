// Test-only definitions of the libusb-1.0 functions that libftdi1 and our bus code call. The
// test program exports them, so the real libftdi1 binds to them instead of the system's libusb
// and talks to the FTDI bridges of the installed FakeUsbBus: FT232R chips (bcdDevice 6.00,
// 64-byte packets) with a product string and nothing else worth describing.
#include <libusb.h>

#include <algorithm>
#include <cstring>

#include "fake_usb_bus.h"

using namespace tlx::usb::testing;

struct libusb_device_handle {
  FakeFtdiDevice* device;
  bool autoDetach = false;
};

namespace {

constexpr std::uint8_t kProductIndex = 2;
constexpr int kPacketSize = 64;

FakeFtdiDevice& DeviceOf(libusb_device* device) {
  return *reinterpret_cast<FakeFtdiDevice*>(device);
}

libusb_config_descriptor config = [] {
  libusb_config_descriptor single{};
  single.bConfigurationValue = 1;
  return single;
}();

std::size_t ToHost(FakeFtdiDevice& device, unsigned char* payload) {
  constexpr std::size_t kPayloadSize = kPacketSize - 2;
  if (device.fifos != nullptr) return device.fifos->Take({payload, kPayloadSize});
  const std::size_t count = std::min(kPayloadSize, device.toHost.size());
  std::copy_n(device.toHost.begin(), count, payload);
  device.toHost.erase(device.toHost.begin(), device.toHost.begin() + count);
  return count;
}

}  // namespace

extern "C" {

int libusb_init(libusb_context** context) {
  if (FakeUsbBus::installed == nullptr) return LIBUSB_ERROR_OTHER;
  ++FakeUsbBus::installed->openContexts;
  if (context != nullptr) *context = reinterpret_cast<libusb_context*>(FakeUsbBus::installed);
  return LIBUSB_SUCCESS;
}

void libusb_exit(libusb_context* context) {
  if (context != nullptr) --reinterpret_cast<FakeUsbBus*>(context)->openContexts;
}

ssize_t libusb_get_device_list(libusb_context* context, libusb_device*** list) {
  const auto present = reinterpret_cast<FakeUsbBus*>(context)->Present();
  *list = new libusb_device* [present.size() + 1] {};
  std::transform(present.begin(), present.end(), *list,
                 [](FakeFtdiDevice* device) { return reinterpret_cast<libusb_device*>(device); });
  return static_cast<ssize_t>(present.size());
}

void libusb_free_device_list(libusb_device** list, int) {
  delete[] list;
}

int libusb_get_device_descriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
  *descriptor = {};
  descriptor->bLength = 18;
  descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
  descriptor->idVendor = DeviceOf(device).spec.vendorId;
  descriptor->idProduct = DeviceOf(device).spec.productId;
  descriptor->bcdDevice = 0x0600;
  descriptor->iProduct = kProductIndex;
  descriptor->bNumConfigurations = 1;
  return LIBUSB_SUCCESS;
}

int libusb_get_config_descriptor(libusb_device*, uint8_t, libusb_config_descriptor** result) {
  *result = &config;
  return LIBUSB_SUCCESS;
}

void libusb_free_config_descriptor(libusb_config_descriptor*) {}

uint8_t libusb_get_bus_number(libusb_device*) {
  return 1;
}

int libusb_get_port_numbers(libusb_device* device, uint8_t* ports, int) {
  ports[0] = DeviceOf(device).port;
  return 1;
}

int libusb_open(libusb_device* device, libusb_device_handle** handle) {
  FakeFtdiDevice& fake = DeviceOf(device);
  if (fake.spec.refusal == OpenRefusal::Access) return LIBUSB_ERROR_ACCESS;
  if (fake.spec.refusal == OpenRefusal::Busy) return LIBUSB_ERROR_BUSY;
  ++fake.openHandles;
  *handle = new libusb_device_handle{&fake};
  return LIBUSB_SUCCESS;
}

void libusb_close(libusb_device_handle* handle) {
  --handle->device->openHandles;
  delete handle;
}

int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index,
                                       unsigned char* data, int length) {
  const std::string& text = handle->device->spec.product;
  if (index != kProductIndex || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
  const int count = std::min(static_cast<int>(text.size()), length - 1);
  std::memcpy(data, text.data(), count);
  data[count] = 0;
  return count;
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle* handle, int enable) {
  handle->autoDetach = enable != 0;
  return LIBUSB_SUCCESS;
}

// libftdi detaches by hand only when it is not to give the driver back; refusing keeps the
// system's libusb from ever seeing a fake handle.
int libusb_detach_kernel_driver(libusb_device_handle*, int) {
  return LIBUSB_ERROR_NOT_SUPPORTED;
}

int libusb_get_configuration(libusb_device_handle*, int* configuration) {
  *configuration = config.bConfigurationValue;
  return LIBUSB_SUCCESS;
}

// Only with auto-detach does libusb move the kernel's serial driver aside on claim and give
// it back on release.
int libusb_claim_interface(libusb_device_handle* handle, int) {
  FakeFtdiDevice& device = *handle->device;
  if (device.claimed || (device.kernelDriverAttached && !handle->autoDetach))
    return LIBUSB_ERROR_BUSY;
  device.kernelDriverAttached = false;
  device.claimed = true;
  return LIBUSB_SUCCESS;
}

int libusb_release_interface(libusb_device_handle* handle, int) {
  FakeFtdiDevice& device = *handle->device;
  if (device.unplugged) return LIBUSB_ERROR_NO_DEVICE;
  device.claimed = false;
  device.kernelDriverAttached = handle->autoDetach;
  return LIBUSB_SUCCESS;
}

// A reset request flushes the FIFOs: value 0 both, otherwise the one direction named.
int libusb_control_transfer(libusb_device_handle* handle, uint8_t, uint8_t request, uint16_t value,
                            uint16_t, unsigned char*, uint16_t, unsigned int timeout) {
  FakeFtdiDevice& device = *handle->device;
  if (device.unplugged) return LIBUSB_ERROR_NO_DEVICE;
  device.controls.push_back({request, value, timeout});
  if (request != kRequestReset) return 0;
  if (value != kFlushFromHost) device.toHost.clear();
  if (device.fifos != nullptr && value != kFlushFromHost) device.fifos->PurgeReceive();
  if (device.fifos != nullptr && value != kFlushTowardsHost) device.fifos->PurgeTransmit();
  return 0;
}

// Bulk-in fills whole packets of two status bytes and 62 data bytes; a shorter packet ends
// the transfer, and with nothing to send the chip still answers with the status bytes alone.
int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout) {
  FakeFtdiDevice& device = *handle->device;
  *transferred = 0;
  if (device.unplugged) return LIBUSB_ERROR_NO_DEVICE;
  if (!(endpoint & LIBUSB_ENDPOINT_IN)) {
    const std::span<const std::uint8_t> bytes(data, static_cast<std::size_t>(length));
    device.unplugged = device.unplugAt && device.unplugAt(bytes);
    if (device.unplugged) return LIBUSB_ERROR_NO_DEVICE;
    if (device.fifos != nullptr)
      device.fifos->Accept(bytes, 0);
    else
      device.fromHost.insert(device.fromHost.end(), bytes.begin(), bytes.end());
    *transferred = length;
    return LIBUSB_SUCCESS;
  }
  device.bulkInLengths.push_back(length);
  device.bulkInTimeouts.push_back(timeout);
  while (*transferred + kPacketSize <= length) {
    unsigned char* packet = data + *transferred;
    std::memcpy(packet, kModemStatus, 2);
    const auto payload = static_cast<int>(ToHost(device, packet + 2));
    *transferred += 2 + payload;
    if (payload < kPacketSize - 2) break;
  }
  return LIBUSB_SUCCESS;
}

}  // extern "C"
