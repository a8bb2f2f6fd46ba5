#include "usb/libftdi_bus.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>

#include "usb/device_facts.h"
#include "usb/libftdi_device.h"

namespace tlx::usb {
namespace {

// libftdi leaves the handle open after some of its failures; a skipped device must not
// stay opened behind our back.
void ForgetDevice(ftdi_context* context) {
  if (context->usb_dev == nullptr) return;
  libusb_close(context->usb_dev);
  context->usb_dev = nullptr;
}

// The devices attached, in the libusb context of a fresh ftdi_context.
struct Scan {
  Scan() : context(ftdi_new()) {
    if (context != nullptr) count = libusb_get_device_list(context->usb_ctx, &devices);
  }
  ~Scan() {
    if (devices != nullptr) libusb_free_device_list(devices, 1);
    if (context != nullptr) ftdi_free(context);
  }
  Scan(const Scan&) = delete;
  Scan& operator=(const Scan&) = delete;

  ftdi_context* context;
  libusb_device** devices = nullptr;
  ssize_t count = LIBUSB_ERROR_OTHER;  // or libusb's code
};

}  // namespace

LibftdiBus::LibftdiBus(std::filesystem::path sysfsDevices)
    : sysfsDevices_(std::move(sysfsDevices)) {}

OpenOutcome LibftdiBus::Open(const DeviceName& name) {
  Scan scan;
  if (scan.count < 0) return {nullptr, RawOp::Scan, static_cast<int>(scan.count)};
  scan.context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
  OpenOutcome outcome{nullptr, RawOp::Scan, LIBUSB_ERROR_NOT_FOUND};
  for (ssize_t i = 0; i < scan.count && outcome.device == nullptr; ++i) {
    if (name.flags == FT_OPEN_BY_LOCATION && LocationOfDevice(scan.devices[i]) != name.locId)
      continue;
    const auto facts = FactsOf(scan.devices[i], sysfsDevices_, false);
    if (!facts || !Names(name, *facts)) continue;
    if (facts->noAccess) {
      outcome = {nullptr, RawOp::Open, LIBUSB_ERROR_ACCESS, true};
      continue;
    }
    const int opened = ftdi_usb_open_dev(scan.context, scan.devices[i]);
    if (opened == 0) {
      outcome = {std::make_unique<LibftdiDevice>(scan.context), RawOp::Open, 0, false,
                 NodeOf(*facts)};
      scan.context = nullptr;  // the device owns it now
    } else {
      ForgetDevice(scan.context);
      outcome = {nullptr, RawOp::Open, opened, outcome.permissionDenied};
    }
  }
  return outcome;
}

int LibftdiBus::List(std::vector<FT_DEVICE_LIST_INFO_NODE>& nodes) {
  nodes.clear();
  Scan scan;
  if (scan.count < 0) return static_cast<int>(scan.count);
  for (ssize_t i = 0; i < scan.count; ++i)
    if (const auto facts = FactsOf(scan.devices[i], sysfsDevices_, true))
      nodes.push_back(NodeOf(*facts));
  // In the order of their ports, whatever order libusb found them in.
  std::ranges::sort(nodes, {}, &FT_DEVICE_LIST_INFO_NODE::LocId);
  return 0;
}

}  // namespace tlx::usb
