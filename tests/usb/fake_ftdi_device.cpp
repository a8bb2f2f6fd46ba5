#include "fake_ftdi_device.h"

#include <algorithm>
#include <cstring>

namespace tlx::usb::testing {
namespace {

constexpr std::uint8_t kManufacturerIndex = 1;
constexpr std::uint8_t kProductIndex = 2;
constexpr std::uint8_t kSerialIndex = 3;
constexpr std::uint8_t kBulkIn = 0x81;
constexpr std::uint8_t kBulkOut = 0x02;
constexpr int kPayloadPerPacket = kPacketSize - 2;

}  // namespace

FakeFtdiDevice::FakeFtdiDevice(FakeFtdiSpec spec, std::unique_ptr<FifoPeer> peer)
    : spec_(std::move(spec)),
      peer_(peer ? std::move(peer) : std::make_unique<ScriptedPeer>()),
      endpoints_{{7, LIBUSB_DT_ENDPOINT, kBulkIn, LIBUSB_TRANSFER_TYPE_BULK, kPacketSize, 0, 0, 0,
                  nullptr, 0},
                 {7, LIBUSB_DT_ENDPOINT, kBulkOut, LIBUSB_TRANSFER_TYPE_BULK, kPacketSize, 0, 0, 0,
                  nullptr, 0}},
      altsetting_{9,    LIBUSB_DT_INTERFACE, 0,          0,       2, 0xFF, 0xFF,
                  0xFF, kProductIndex,       endpoints_, nullptr, 0},
      interface_{&altsetting_, 1},
      config_{9, LIBUSB_DT_CONFIG, 32, 1, 1, 0, 0x80, 45, &interface_, nullptr, 0} {}

// An FT232R/FT245R: bcdDevice 6.00, one configuration.
void FakeFtdiDevice::FillDeviceDescriptor(libusb_device_descriptor* descriptor) const {
  *descriptor = {};
  descriptor->bLength = 18;
  descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
  descriptor->bcdUSB = 0x0200;
  descriptor->bMaxPacketSize0 = 8;
  descriptor->idVendor = spec_.vendorId;
  descriptor->idProduct = spec_.productId;
  descriptor->bcdDevice = 0x0600;
  descriptor->iManufacturer = kManufacturerIndex;
  descriptor->iProduct = kProductIndex;
  descriptor->iSerialNumber = kSerialIndex;
  descriptor->bNumConfigurations = 1;
}

int FakeFtdiDevice::Open() {
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  if (spec_.refusal == OpenRefusal::Access) return LIBUSB_ERROR_ACCESS;
  if (spec_.refusal == OpenRefusal::Busy) return LIBUSB_ERROR_BUSY;
  ++openHandles_;
  return LIBUSB_SUCCESS;
}

void FakeFtdiDevice::Close() {
  --openHandles_;
}

int FakeFtdiDevice::ReadString(std::uint8_t index, unsigned char* data, int length) const {
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  std::string text;
  if (index == kManufacturerIndex) text = "FTDI";
  if (index == kProductIndex) text = spec_.product;
  if (index == kSerialIndex) text = "TLX00001";
  if (text.empty() || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
  const int count = std::min(static_cast<int>(text.size()), length - 1);
  std::memcpy(data, text.data(), count);
  data[count] = 0;
  return count;
}

// With auto-detach, libusb moves the kernel's driver out of the way on claim and puts it
// back on release; without it a claim fails while the driver holds the interface.
int FakeFtdiDevice::Claim(int interfaceNumber, bool autoDetach) {
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  if (interfaceNumber != 0) return LIBUSB_ERROR_NOT_FOUND;
  if (claimed_) return LIBUSB_ERROR_BUSY;
  if (kernelDriverAttached_ && !autoDetach) return LIBUSB_ERROR_BUSY;
  kernelDriverAttached_ = false;
  claimed_ = true;
  return LIBUSB_SUCCESS;
}

int FakeFtdiDevice::Release(int interfaceNumber, bool autoDetach) {
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  if (interfaceNumber != 0 || !claimed_) return LIBUSB_ERROR_NOT_FOUND;
  claimed_ = false;
  if (autoDetach) kernelDriverAttached_ = true;
  return LIBUSB_SUCCESS;
}

int FakeFtdiDevice::DetachKernelDriver(int interfaceNumber) {
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  if (interfaceNumber != 0 || !kernelDriverAttached_) return LIBUSB_ERROR_NOT_FOUND;
  kernelDriverAttached_ = false;
  return LIBUSB_SUCCESS;
}

int FakeFtdiDevice::Control(const ControlRequest& request) {
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  controls_.push_back(request);
  if (request.request == kRequestReset) Reset(request.value);
  if (request.request == kRequestSetLatency) latencyMs_ = static_cast<std::uint8_t>(request.value);
  return 0;
}

void FakeFtdiDevice::Reset(std::uint16_t what) {
  const bool both = what == kResetSio;
  peer_->Purge(both || what == kFlushTowardsHost, both || what == kFlushFromHost);
}

int FakeFtdiDevice::BulkOut(const unsigned char* data, int length, int* transferred) {
  *transferred = 0;
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  const std::span<const std::uint8_t> bytes(data, static_cast<std::size_t>(length));
  if (unplugAt_ && unplugAt_(bytes)) {
    unplugged_ = true;
    return LIBUSB_ERROR_NO_DEVICE;
  }
  peer_->FromHost(bytes);
  *transferred = length;
  return LIBUSB_SUCCESS;
}

// Fills whole packets of two status bytes and 62 data bytes; a packet with less data is
// short and ends the transfer, as on the wire. With nothing to send, the chip still answers
// with the status bytes alone.
int FakeFtdiDevice::BulkIn(unsigned char* data, int length, int* transferred, unsigned timeoutMs) {
  *transferred = 0;
  if (unplugged_) return LIBUSB_ERROR_NO_DEVICE;
  bulkInLengths_.push_back(length);
  bulkInTimeouts_.push_back(timeoutMs);
  int filled = 0;
  while (filled + kPacketSize <= length) {
    std::memcpy(data + filled, kModemStatus, 2);
    const auto payload = static_cast<int>(peer_->ToHost(data + filled + 2, kPayloadPerPacket));
    filled += 2 + payload;
    if (payload < kPayloadPerPacket) break;
  }
  *transferred = filled;
  return LIBUSB_SUCCESS;
}

}  // namespace tlx::usb::testing
