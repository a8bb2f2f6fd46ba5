// The USB bus that the libusb stand-in presents to libftdi: the FTDI bridges a test plugs
// in. While one exists, every libusb call of the test program goes to it; without one,
// libusb_init fails as on a machine without USB.
#pragma once

#include <list>
#include <memory>
#include <vector>

#include "fake_ftdi_device.h"

namespace tlx::usb::testing {

class FakeUsbBus {
 public:
  FakeUsbBus();
  ~FakeUsbBus();
  FakeUsbBus(const FakeUsbBus&) = delete;
  FakeUsbBus& operator=(const FakeUsbBus&) = delete;

  FakeFtdiDevice& Plug(FakeFtdiSpec spec, std::unique_ptr<FifoPeer> peer = nullptr);
  // Devices still on the bus, in the order they were plugged in.
  std::vector<FakeFtdiDevice*> Present();
  int OpenContexts() const { return contexts_; }

  static FakeUsbBus* Installed();
  void ContextOpened() { ++contexts_; }
  void ContextClosed() { --contexts_; }

 private:
  std::list<FakeFtdiDevice> devices_;
  int contexts_ = 0;
};

}  // namespace tlx::usb::testing
