// The narrow transport beneath the D2XX calls: what an opened FTDI bridge and the bus it sits
// on can do, with the library's own result codes. Keeping it this small lets the D2XX rules
// (argument checks, the read deadline, purge masks, statuses) be tested without any USB.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/d2xx.h"

namespace tlx::usb {

// The step a library result code came from; the same code means different things in
// different steps, so the status table is keyed by both.
enum class RawOp { Scan, Open, Latency, TransferSize, Write, Read, Purge, Close };

enum class FlushWhich { Receive, Transmit, Both };

// One opened FTDI bridge. Results: zero or a byte count on success, otherwise the
// library's negative code for that step.
class RawDevice {
 public:
  virtual ~RawDevice() = default;

  virtual int SetLatencyTimer(std::uint8_t milliseconds) = 0;
  virtual int SetTransferSizes(std::uint32_t inSize, std::uint32_t outSize) = 0;
  // Bounds bulk writes and, in libftdi, every control request too.
  virtual void SetWriteTimeout(int milliseconds) = 0;
  // Returns once all bytes are handed over, or with a code.
  virtual int Write(const std::uint8_t* data, int size) = 0;
  // Returns what has arrived (possibly nothing), waiting at most timeoutMs for the bus.
  virtual int Read(std::uint8_t* data, int size, int timeoutMs) = 0;
  virtual int Flush(FlushWhich which) = 0;
  // Gives the device back to the system; the device is unusable afterwards.
  virtual int Close() = 0;
};

// The device FT_OpenEx names: flags say whether by description, serial number or location.
struct DeviceName {
  DWORD flags = FT_OPEN_BY_DESCRIPTION;
  std::string text{};  // the description or serial number
  DWORD locId = 0;
};

// Result of a search for a device. Without a device, failedStep and code say why: the
// scan itself failed, no device carried the name (Scan with LIBUSB_ERROR_NOT_FOUND), or a
// device with the name could not be opened (Open).
struct OpenOutcome {
  std::unique_ptr<RawDevice> device;
  RawOp failedStep = RawOp::Scan;
  int code = 0;
  // A device with the name exists but this user may not open it.
  bool permissionDenied = false;
  // The opened device as the device list describes it: where it is plugged in, its ids and
  // strings.
  FT_DEVICE_LIST_INFO_NODE node{};
};

class RawBus {
 public:
  virtual ~RawBus() = default;
  virtual OpenOutcome Open(const DeviceName& name) = 0;
  // Every FTDI device attached, as the device list describes it; 0 or the library's code.
  virtual int List(std::vector<FT_DEVICE_LIST_INFO_NODE>& nodes) = 0;
};

}  // namespace tlx::usb
