// The USB bus that the libusb stand-in (fake_libusb.cpp) presents to the real libftdi1: FTDI
// FIFO bridges whose bulk packets start with two modem-status bytes. While a bus exists every
// libusb call of the test program goes to it; without one, libusb_init fails as on a machine
// without USB.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <span>
#include <string>
#include <vector>

#include "sim/bridge.h"

namespace tlx::usb::testing {

inline constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};
inline constexpr std::uint8_t kRequestReset = 0x00;
inline constexpr std::uint8_t kRequestSetLatency = 0x09;
inline constexpr std::uint16_t kFlushFromHost = 1;
inline constexpr std::uint16_t kFlushTowardsHost = 2;

enum class OpenRefusal { None, Access, Busy };

struct FakeFtdiSpec {
  std::string product;
  std::uint16_t vendorId = 0x0403;
  std::uint16_t productId = 0x6001;
  OpenRefusal refusal = OpenRefusal::None;
};

struct ControlRequest {
  std::uint8_t request;
  std::uint16_t value;
  unsigned timeoutMs;
};

// State the libusb stand-in keeps per device, and what tests read back.
struct FakeFtdiDevice {
  FakeFtdiSpec spec;
  std::uint8_t port;
  // The chip's FIFOs in front of the simulated board if there is one, otherwise bytes the
  // test queues for the host and reads back from it.
  sim::Bridge* fifos = nullptr;
  std::deque<std::uint8_t> toHost{};
  std::vector<std::uint8_t> fromHost{};
  std::vector<ControlRequest> controls{};
  std::vector<int> bulkInLengths{};
  std::vector<unsigned> bulkInTimeouts{};
  bool kernelDriverAttached = true;
  bool claimed = false;
  int openHandles = 0;
  bool unplugged = false;
  // The first bulk-out transfer that matches never arrives: the cable is pulled.
  std::function<bool(std::span<const std::uint8_t>)> unplugAt{};
};

class FakeUsbBus {
 public:
  FakeUsbBus() { installed = this; }
  ~FakeUsbBus() { installed = nullptr; }
  FakeUsbBus(const FakeUsbBus&) = delete;
  FakeUsbBus& operator=(const FakeUsbBus&) = delete;

  FakeFtdiDevice& Plug(FakeFtdiSpec spec, sim::Bridge* fifos) {
    const auto port = static_cast<std::uint8_t>(devices.size() + 1);
    return devices.emplace_back(
        FakeFtdiDevice{.spec = std::move(spec), .port = port, .fifos = fifos});
  }
  std::vector<FakeFtdiDevice*> Present() {
    std::vector<FakeFtdiDevice*> present;
    for (FakeFtdiDevice& device : devices)
      if (!device.unplugged) present.push_back(&device);
    return present;
  }

  static inline FakeUsbBus* installed = nullptr;
  std::list<FakeFtdiDevice> devices;
  int openContexts = 0;
};

}  // namespace tlx::usb::testing
