#include "fake_usb_bus.h"

#include <cassert>

namespace tlx::usb::testing {
namespace {

// The C functions of libusb carry no user data from libusb_init onwards, so the bus they
// serve has to be found here.
FakeUsbBus* installedBus = nullptr;

}  // namespace

FakeUsbBus::FakeUsbBus() {
  assert(installedBus == nullptr);
  installedBus = this;
}

FakeUsbBus::~FakeUsbBus() {
  installedBus = nullptr;
}

FakeUsbBus* FakeUsbBus::Installed() {
  return installedBus;
}

FakeFtdiDevice& FakeUsbBus::Plug(FakeFtdiSpec spec, std::unique_ptr<FifoPeer> peer) {
  return devices_.emplace_back(std::move(spec), std::move(peer));
}

std::vector<FakeFtdiDevice*> FakeUsbBus::Present() {
  std::vector<FakeFtdiDevice*> present;
  for (FakeFtdiDevice& device : devices_)
    if (device.Present()) present.push_back(&device);
  return present;
}

}  // namespace tlx::usb::testing
