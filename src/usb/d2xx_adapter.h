// The D2XX calls over a raw FTDI transport: the device list, handles, argument checks, the
// read deadline, purge masks and statuses. libftdi returns from a read with whatever it has
// at once, while D2XX waits up to the read timeout for the count; that waiting lives here.
// One adapter serves one thread; several boards at once take one adapter each.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "link/d2xx.h"
#include "usb/clock.h"
#include "usb/raw_transport.h"

namespace tlx::usb {

// A write timeout of 0 means "none" in D2XX, but libftdi also bounds its control requests
// with it and 0 would let a stuck device hang the program; this bound is used instead.
inline constexpr int kUnboundedWriteGuardMs = 5000;
// Rest between polls that brought nothing, so a silent device does not spin the CPU.
inline constexpr std::chrono::milliseconds kIdlePoll{1};
// The chip's latency timer until it is set.
inline constexpr int kDefaultLatencyMs = 16;
// A poll's USB timeout is never shorter than the latency timer and this margin. The chip
// always answers within the latency timer, so a poll ends by the chip's answer, not by the
// timeout; libftdi drops the bytes a read has already gathered when a later transfer of the
// same read times out, so a timeout in the middle of a reply would lose part of it.
inline constexpr int kPollMarginMs = 20;

class D2xxAdapter : public D2xx {
 public:
  D2xxAdapter(std::unique_ptr<RawBus> bus, std::unique_ptr<Clock> clock);
  ~D2xxAdapter() override;

  FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevices) override;
  FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) override;
  FT_STATUS FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) override;
  FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id, char* serialNumber,
                             char* description) override;
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) override;
  FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) override;
  FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                DWORD outTransferSize) override;
  FT_STATUS FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                     DWORD* bytesWritten) override;
  FT_STATUS FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                    DWORD* bytesReturned) override;
  FT_STATUS FT_Purge(FT_HANDLE handle, DWORD mask) override;
  FT_STATUS FT_Close(FT_HANDLE handle) override;

  // Whether the last FT_OpenEx failed because the device it names exists but this user may
  // not open it. The device list says the same of each device by FT_FLAGS_NO_ACCESS.
  bool PermissionDenied() const { return permissionDenied_; }

 private:
  struct OpenDevice {
    std::unique_ptr<RawDevice> device;
    DWORD readTimeoutMs = 0;
    int latencyMs = kDefaultLatencyMs;
    FT_DEVICE_LIST_INFO_NODE node{};  // as it was when opened
  };
  OpenDevice* Find(FT_HANDLE handle);

  std::unique_ptr<RawBus> bus_;
  std::unique_ptr<Clock> clock_;
  std::map<FT_HANDLE, OpenDevice> open_;
  std::vector<FT_DEVICE_LIST_INFO_NODE> listed_;
  FT_HANDLE nextHandle_ = 1;
  bool permissionDenied_ = false;
};

}  // namespace tlx::usb
