#include "usb/status_table.h"

#include <libusb.h>

#include <array>

namespace tlx::usb {
namespace {

// libftdi's "USB device unavailable" from reads and writes on a context without a device.
constexpr int kFtdiNoDevice = -666;

// clang-format off
constexpr std::array kRules{
    // Searching for the description (libusb_init, libusb_get_device_list).
    StatusRule{RawOp::Scan, LIBUSB_ERROR_NOT_FOUND, FT_DEVICE_NOT_FOUND,
               "no FTDI device carries the description"},
    StatusRule{RawOp::Scan, kAnyOtherCode, FT_DEVICE_NOT_FOUND,
               "USB cannot be searched on this machine, so no device can be found"},
    // Opening a device that carries the description (libusb_open, ftdi_usb_open_dev).
    StatusRule{RawOp::Open, kAnyOtherCode, FT_DEVICE_NOT_OPENED,
               "refused by libusb or libftdi: no permission, busy, gone, or reset failed"},
    // ftdi_set_latency_timer.
    StatusRule{RawOp::Latency, -1, FT_INVALID_PARAMETER, "latency outside 1 to 255 ms"},
    StatusRule{RawOp::Latency, -3, FT_DEVICE_NOT_OPENED, "no device behind the context"},
    StatusRule{RawOp::Latency, kAnyOtherCode, FT_IO_ERROR, "the control request failed"},
    // ftdi_read_data_set_chunksize, ftdi_write_data_set_chunksize.
    StatusRule{RawOp::TransferSize, kAnyOtherCode, FT_INSUFFICIENT_RESOURCES,
               "no memory for libftdi's read buffer"},
    // ftdi_write_data.
    StatusRule{RawOp::Write, kFtdiNoDevice, FT_DEVICE_NOT_OPENED, "no device behind the context"},
    StatusRule{RawOp::Write, kAnyOtherCode, FT_IO_ERROR,
               "the bulk write failed or timed out; part of the data may have gone out"},
    // ftdi_read_data, which passes libusb's codes through.
    StatusRule{RawOp::Read, LIBUSB_ERROR_TIMEOUT, FT_OK,
               "nothing arrived during one bulk read; the read deadline decides when to stop"},
    StatusRule{RawOp::Read, LIBUSB_ERROR_NO_DEVICE, FT_DEVICE_NOT_FOUND,
               "the device has gone from the bus"},
    StatusRule{RawOp::Read, kFtdiNoDevice, FT_DEVICE_NOT_OPENED, "no device behind the context"},
    StatusRule{RawOp::Read, kAnyOtherCode, FT_IO_ERROR,
               "the bulk read failed (stall, overflow, I/O)"},
    // ftdi_tciflush, ftdi_tcoflush, ftdi_tcioflush.
    StatusRule{RawOp::Purge, -3, FT_DEVICE_NOT_OPENED, "no device behind the context"},
    StatusRule{RawOp::Purge, kAnyOtherCode, FT_IO_ERROR, "a flush control request failed"},
    // ftdi_usb_close.
    StatusRule{RawOp::Close, kAnyOtherCode, FT_IO_ERROR,
               "the interface could not be released; the handle is gone all the same"},
};
// clang-format on

}  // namespace

std::span<const StatusRule> StatusRules() {
  return kRules;
}

FT_STATUS D2xxStatusOf(RawOp step, int result) {
  if (result >= 0) return FT_OK;
  for (const StatusRule& rule : kRules) {
    if (rule.step == step && (rule.code == result || rule.code == kAnyOtherCode))
      return rule.status;
  }
  return FT_OTHER_ERROR;
}

}  // namespace tlx::usb
