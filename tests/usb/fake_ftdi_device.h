// One FTDI FIFO bridge as libusb shows it: descriptors and strings, open and claim, the
// kernel's serial driver, the chip's control requests, and bulk packets that start with two
// modem-status bytes. Tests read what the library asked of it.
#pragma once

#include <libusb.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fifo_peer.h"

namespace tlx::usb::testing {

inline constexpr int kPacketSize = 64;
inline constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};

enum class OpenRefusal { None, Access, Busy };

struct FakeFtdiSpec {
  std::string product;
  std::uint16_t vendorId = 0x0403;
  std::uint16_t productId = 0x6001;
  OpenRefusal refusal = OpenRefusal::None;
  std::uint8_t bus = 1;
  std::vector<std::uint8_t> ports;  // hub ports from the root

  FakeFtdiSpec Vendor(std::uint16_t id) const { return With(&FakeFtdiSpec::vendorId, id); }
  FakeFtdiSpec Product(std::uint16_t id) const { return With(&FakeFtdiSpec::productId, id); }
  FakeFtdiSpec Refusing(OpenRefusal how) const { return With(&FakeFtdiSpec::refusal, how); }

 private:
  template <typename T>
  FakeFtdiSpec With(T FakeFtdiSpec::*field, T value) const {
    FakeFtdiSpec copy = *this;
    copy.*field = std::move(value);
    return copy;
  }
};

inline FakeFtdiSpec Bridge(std::string product) {
  FakeFtdiSpec spec;
  spec.product = std::move(product);
  return spec;
}

struct ControlRequest {
  std::uint8_t requestType;
  std::uint8_t request;
  std::uint16_t value;
  std::uint16_t index;
  unsigned timeoutMs;
};

// The chip's vendor requests that the tests look for.
inline constexpr std::uint8_t kRequestReset = 0x00;
inline constexpr std::uint8_t kRequestSetLatency = 0x09;
inline constexpr std::uint16_t kResetSio = 0;
inline constexpr std::uint16_t kFlushFromHost = 1;
inline constexpr std::uint16_t kFlushTowardsHost = 2;

class FakeFtdiDevice {
 public:
  FakeFtdiDevice(FakeFtdiSpec spec, std::unique_ptr<FifoPeer> peer);

  // Observations.
  const FakeFtdiSpec& Spec() const { return spec_; }
  const std::vector<ControlRequest>& Controls() const { return controls_; }
  bool KernelDriverAttached() const { return kernelDriverAttached_; }
  bool Claimed() const { return claimed_; }
  int OpenHandles() const { return openHandles_; }
  std::uint8_t LatencyMs() const { return latencyMs_; }
  const std::vector<int>& BulkInLengths() const { return bulkInLengths_; }
  const std::vector<unsigned>& BulkInTimeouts() const { return bulkInTimeouts_; }
  bool Present() const { return !unplugged_; }

  // The first bulk-out transfer whose bytes match never arrives: the cable is pulled.
  using TransferMatch = std::function<bool(std::span<const std::uint8_t>)>;
  void UnplugAtBulkOut(TransferMatch match) { unplugAt_ = std::move(match); }

  // The libusb calls, on behalf of the stand-in functions.
  void FillDeviceDescriptor(libusb_device_descriptor* descriptor) const;
  const libusb_config_descriptor* Config() const { return &config_; }
  int Open();
  void Close();
  int ReadString(std::uint8_t index, unsigned char* data, int length) const;
  int Claim(int interfaceNumber, bool autoDetach);
  int Release(int interfaceNumber, bool autoDetach);
  int DetachKernelDriver(int interfaceNumber);
  int Control(const ControlRequest& request);
  int BulkOut(const unsigned char* data, int length, int* transferred);
  int BulkIn(unsigned char* data, int length, int* transferred, unsigned timeoutMs);

 private:
  void Reset(std::uint16_t what);

  FakeFtdiSpec spec_;
  std::unique_ptr<FifoPeer> peer_;
  libusb_endpoint_descriptor endpoints_[2];
  libusb_interface_descriptor altsetting_;
  libusb_interface interface_;
  libusb_config_descriptor config_;
  std::vector<ControlRequest> controls_;
  std::vector<int> bulkInLengths_;
  std::vector<unsigned> bulkInTimeouts_;
  bool kernelDriverAttached_ = true;
  bool claimed_ = false;
  bool unplugged_ = false;
  int openHandles_ = 0;
  TransferMatch unplugAt_;
  std::uint8_t latencyMs_ = 16;
};

}  // namespace tlx::usb::testing
