#include "usb/libftdi_device.h"

#include <ftdi.h>

namespace tlx::usb {

LibftdiDevice::LibftdiDevice(ftdi_context* context) : context_(context) {}

LibftdiDevice::~LibftdiDevice() {
  Close();
  ftdi_free(context_);
}

int LibftdiDevice::SetLatencyTimer(std::uint8_t milliseconds) {
  return ftdi_set_latency_timer(context_, milliseconds);
}

// libftdi caps its read chunk at 16 KiB on Linux; larger requests are still accepted.
int LibftdiDevice::SetTransferSizes(std::uint32_t inSize, std::uint32_t outSize) {
  const int read = ftdi_read_data_set_chunksize(context_, inSize);
  if (read < 0) return read;
  return ftdi_write_data_set_chunksize(context_, outSize);
}

// libftdi has no setter for its timeouts; the fields are its documented public state.
void LibftdiDevice::SetWriteTimeout(int milliseconds) {
  context_->usb_write_timeout = milliseconds;
}

int LibftdiDevice::Write(const std::uint8_t* data, int size) {
  return ftdi_write_data(context_, data, size);
}

int LibftdiDevice::Read(std::uint8_t* data, int size, int timeoutMs) {
  context_->usb_read_timeout = timeoutMs;
  return ftdi_read_data(context_, data, size);
}

// The tc*flush calls are named from the host's side; the older purge calls had the two
// directions swapped and must not be used.
int LibftdiDevice::Flush(FlushWhich which) {
  switch (which) {
    case FlushWhich::Receive:
      return ftdi_tciflush(context_);
    case FlushWhich::Transmit:
      return ftdi_tcoflush(context_);
    case FlushWhich::Both:
      break;
  }
  return ftdi_tcioflush(context_);
}

// Releasing the interface hands the device back to the kernel's serial driver, because the
// bus opened it with libftdi's detach-and-reattach mode.
int LibftdiDevice::Close() {
  if (!open_) return 0;
  open_ = false;
  return ftdi_usb_close(context_);
}

}  // namespace tlx::usb
