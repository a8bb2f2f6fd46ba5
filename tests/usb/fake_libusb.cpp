// Test-only stand-in for the libusb-1.0 functions that libftdi1 and our bus code call. The
// test program exports these definitions, so the real libftdi1 binds to them instead of the
// system's libusb and talks to the fake FTDI bridges of the installed FakeUsbBus.
#include <libusb.h>

#include <cstring>

#include "fake_usb_bus.h"

using tlx::usb::testing::ControlRequest;
using tlx::usb::testing::FakeFtdiDevice;
using tlx::usb::testing::FakeUsbBus;

struct libusb_device_handle {
  FakeFtdiDevice* device;
  bool autoDetach = false;
};

namespace {

FakeFtdiDevice* DeviceOf(libusb_device* device) {
  return reinterpret_cast<FakeFtdiDevice*>(device);
}

}  // namespace

extern "C" {

int libusb_init(libusb_context** context) {
  FakeUsbBus* bus = FakeUsbBus::Installed();
  if (bus == nullptr) return LIBUSB_ERROR_OTHER;
  bus->ContextOpened();
  if (context != nullptr) *context = reinterpret_cast<libusb_context*>(bus);
  return LIBUSB_SUCCESS;
}

void libusb_exit(libusb_context* context) {
  if (context != nullptr) reinterpret_cast<FakeUsbBus*>(context)->ContextClosed();
}

ssize_t libusb_get_device_list(libusb_context* context, libusb_device*** list) {
  const auto present = reinterpret_cast<FakeUsbBus*>(context)->Present();
  auto* devices = new libusb_device*[present.size() + 1];
  for (std::size_t i = 0; i < present.size(); ++i)
    devices[i] = reinterpret_cast<libusb_device*>(present[i]);
  devices[present.size()] = nullptr;
  *list = devices;
  return static_cast<ssize_t>(present.size());
}

void libusb_free_device_list(libusb_device** list, int) {
  delete[] list;
}

int libusb_get_device_descriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
  DeviceOf(device)->FillDeviceDescriptor(descriptor);
  return LIBUSB_SUCCESS;
}

int libusb_get_config_descriptor(libusb_device* device, uint8_t index,
                                 libusb_config_descriptor** config) {
  if (index != 0) return LIBUSB_ERROR_NOT_FOUND;
  *config = const_cast<libusb_config_descriptor*>(DeviceOf(device)->Config());
  return LIBUSB_SUCCESS;
}

void libusb_free_config_descriptor(libusb_config_descriptor*) {}

uint8_t libusb_get_bus_number(libusb_device* device) {
  return DeviceOf(device)->Spec().bus;
}

int libusb_get_port_numbers(libusb_device* device, uint8_t* ports, int length) {
  const auto& path = DeviceOf(device)->Spec().ports;
  if (static_cast<int>(path.size()) > length) return LIBUSB_ERROR_OVERFLOW;
  std::memcpy(ports, path.data(), path.size());
  return static_cast<int>(path.size());
}

int libusb_open(libusb_device* device, libusb_device_handle** handle) {
  const int result = DeviceOf(device)->Open();
  if (result == LIBUSB_SUCCESS) *handle = new libusb_device_handle{DeviceOf(device)};
  return result;
}

void libusb_close(libusb_device_handle* handle) {
  if (handle == nullptr) return;
  handle->device->Close();
  delete handle;
}

int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index,
                                       unsigned char* data, int length) {
  return handle->device->ReadString(index, data, length);
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle* handle, int enable) {
  handle->autoDetach = enable != 0;
  return LIBUSB_SUCCESS;
}

int libusb_detach_kernel_driver(libusb_device_handle* handle, int interfaceNumber) {
  return handle->device->DetachKernelDriver(interfaceNumber);
}

int libusb_get_configuration(libusb_device_handle* handle, int* configuration) {
  if (!handle->device->Present()) return LIBUSB_ERROR_NO_DEVICE;
  *configuration = handle->device->Config()->bConfigurationValue;
  return LIBUSB_SUCCESS;
}

int libusb_claim_interface(libusb_device_handle* handle, int interfaceNumber) {
  return handle->device->Claim(interfaceNumber, handle->autoDetach);
}

int libusb_release_interface(libusb_device_handle* handle, int interfaceNumber) {
  return handle->device->Release(interfaceNumber, handle->autoDetach);
}

int libusb_control_transfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request,
                            uint16_t value, uint16_t index, unsigned char*, uint16_t,
                            unsigned int timeout) {
  return handle->device->Control(ControlRequest{requestType, request, value, index, timeout});
}

int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout) {
  if (endpoint & LIBUSB_ENDPOINT_IN)
    return handle->device->BulkIn(data, length, transferred, timeout);
  return handle->device->BulkOut(data, length, transferred);
}

}  // extern "C"
