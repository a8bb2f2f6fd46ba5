// One FTDI bridge opened through libftdi1, as the raw transport beneath the D2XX calls.
#pragma once

#include "usb/raw_transport.h"

struct ftdi_context;

namespace tlx::usb {

class LibftdiDevice : public RawDevice {
 public:
  // Takes over a context whose device ftdi_usb_open_dev has opened.
  explicit LibftdiDevice(ftdi_context* context);
  ~LibftdiDevice() override;
  LibftdiDevice(const LibftdiDevice&) = delete;
  LibftdiDevice& operator=(const LibftdiDevice&) = delete;

  int SetLatencyTimer(std::uint8_t milliseconds) override;
  int SetTransferSizes(std::uint32_t inSize, std::uint32_t outSize) override;
  void SetWriteTimeout(int milliseconds) override;
  int Write(const std::uint8_t* data, int size) override;
  int Read(std::uint8_t* data, int size, int timeoutMs) override;
  int Flush(FlushWhich which) override;
  int Close() override;

 private:
  ftdi_context* context_;
  bool open_ = true;
};

}  // namespace tlx::usb
