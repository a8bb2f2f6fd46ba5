#include "usb/d2xx_adapter.h"

#include <algorithm>
#include <climits>

#include "link/d2xx_rules.h"
#include "link/device_list.h"
#include "usb/status_table.h"

namespace tlx::usb {
namespace {

int MillisecondsUntil(Clock::TimePoint deadline, Clock::TimePoint now) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count());
}

}  // namespace

D2xxAdapter::D2xxAdapter(std::unique_ptr<RawBus> bus, std::unique_ptr<Clock> clock)
    : bus_(std::move(bus)), clock_(std::move(clock)) {}

// Devices still open are given back to the system, as D2XX does when a process ends.
D2xxAdapter::~D2xxAdapter() {
  for (auto& [handle, open] : open_) open.device->Close();
}

D2xxAdapter::OpenDevice* D2xxAdapter::Find(FT_HANDLE handle) {
  const auto found = open_.find(handle);
  return found == open_.end() ? nullptr : &found->second;
}

// Devices this adapter holds show as opened, with their handles.
FT_STATUS D2xxAdapter::FT_CreateDeviceInfoList(DWORD* numDevices) {
  if (numDevices == nullptr) return FT_INVALID_PARAMETER;
  *numDevices = 0;
  const int code = bus_->List(listed_);
  if (code < 0) return D2xxStatusOf(RawOp::Scan, code);
  for (FT_DEVICE_LIST_INFO_NODE& node : listed_) {
    for (const auto& [handle, open] : open_) {
      if (open.node.LocId != node.LocId || node.LocId == 0) continue;
      node.Flags |= FT_FLAGS_OPENED;
      node.ftHandle = handle;
    }
  }
  *numDevices = static_cast<DWORD>(listed_.size());
  return FT_OK;
}

FT_STATUS D2xxAdapter::FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  return CopyDeviceList(listed_, list, numDevices);
}

FT_STATUS D2xxAdapter::FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) {
  if (handle == nullptr) return FT_INVALID_PARAMETER;
  DeviceName name{flags};
  if (flags == FT_OPEN_BY_LOCATION) {
    name.locId = LocationOfArgument(arg1);
  } else if (flags == FT_OPEN_BY_DESCRIPTION || flags == FT_OPEN_BY_SERIAL_NUMBER) {
    if (arg1 == nullptr) return FT_INVALID_PARAMETER;
    name.text = arg1;
  } else {
    return FT_NOT_SUPPORTED;
  }
  OpenOutcome outcome = bus_->Open(name);
  permissionDenied_ = outcome.device == nullptr && outcome.permissionDenied;
  if (outcome.device == nullptr) return D2xxStatusOf(outcome.failedStep, outcome.code);
  *handle = nextHandle_++;
  open_[*handle] = OpenDevice{std::move(outcome.device), 0, kDefaultLatencyMs, outcome.node};
  return FT_OK;
}

FT_STATUS D2xxAdapter::FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id,
                                        char* serialNumber, char* description) {
  const OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  return CopyDeviceInfo(open->node, type, id, serialNumber, description);
}

FT_STATUS D2xxAdapter::FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  if (readTimeout > INT_MAX || writeTimeout > INT_MAX) return FT_INVALID_PARAMETER;
  open->readTimeoutMs = readTimeout;
  open->device->SetWriteTimeout(writeTimeout == 0 ? kUnboundedWriteGuardMs
                                                  : static_cast<int>(writeTimeout));
  return FT_OK;
}

FT_STATUS D2xxAdapter::FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  if (milliseconds < kMinLatencyMs) return FT_INVALID_PARAMETER;
  const FT_STATUS status =
      D2xxStatusOf(RawOp::Latency, open->device->SetLatencyTimer(milliseconds));
  if (status == FT_OK) open->latencyMs = milliseconds;
  return status;
}

FT_STATUS D2xxAdapter::FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                           DWORD outTransferSize) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  if (!ValidTransferSize(inTransferSize) || !ValidTransferSize(outTransferSize))
    return FT_INVALID_PARAMETER;
  return D2xxStatusOf(RawOp::TransferSize,
                      open->device->SetTransferSizes(inTransferSize, outTransferSize));
}

// All bytes or an error: a short write is never reported as success.
FT_STATUS D2xxAdapter::FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                                DWORD* bytesWritten) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  if (bytesWritten == nullptr || (buffer == nullptr && bytesToWrite > 0) || bytesToWrite > INT_MAX)
    return FT_INVALID_PARAMETER;
  *bytesWritten = 0;
  if (bytesToWrite == 0) return FT_OK;
  const int result = open->device->Write(buffer, static_cast<int>(bytesToWrite));
  if (result < 0) return D2xxStatusOf(RawOp::Write, result);
  *bytesWritten = std::min(static_cast<DWORD>(result), bytesToWrite);
  return *bytesWritten == bytesToWrite ? FT_OK : FT_IO_ERROR;
}

// Polls until the count has arrived or the read timeout has passed and returns what came,
// with FT_OK. A failure returns the bytes gathered before it together with its status.
// A read timeout of 0 polls once: no read here ever waits without bound. The last poll may
// end after the read timeout, by at most the latency timer and the poll margin.
FT_STATUS D2xxAdapter::FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                               DWORD* bytesReturned) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  if (bytesReturned == nullptr || (buffer == nullptr && bytesToRead > 0) || bytesToRead > INT_MAX)
    return FT_INVALID_PARAMETER;
  *bytesReturned = 0;
  const auto deadline = clock_->Now() + std::chrono::milliseconds(open->readTimeoutMs);
  while (*bytesReturned < bytesToRead) {
    const int missing = static_cast<int>(bytesToRead - *bytesReturned);
    const int pollMs =
        std::max(MillisecondsUntil(deadline, clock_->Now()), open->latencyMs + kPollMarginMs);
    const int result = open->device->Read(buffer + *bytesReturned, missing, pollMs);
    const FT_STATUS status = D2xxStatusOf(RawOp::Read, result);
    if (status != FT_OK) return status;
    const int arrived = std::clamp(result, 0, missing);
    *bytesReturned += static_cast<DWORD>(arrived);
    if (*bytesReturned == bytesToRead || clock_->Now() >= deadline) break;
    if (arrived == 0) clock_->Pause(kIdlePoll);
  }
  return FT_OK;
}

FT_STATUS D2xxAdapter::FT_Purge(FT_HANDLE handle, DWORD mask) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return FT_INVALID_HANDLE;
  switch (mask) {
    case FT_PURGE_RX:
      return D2xxStatusOf(RawOp::Purge, open->device->Flush(FlushWhich::Receive));
    case FT_PURGE_TX:
      return D2xxStatusOf(RawOp::Purge, open->device->Flush(FlushWhich::Transmit));
    case FT_PURGE_RX | FT_PURGE_TX:
      return D2xxStatusOf(RawOp::Purge, open->device->Flush(FlushWhich::Both));
    default:
      return FT_INVALID_PARAMETER;
  }
}

// The handle is gone afterwards whatever the release reports.
FT_STATUS D2xxAdapter::FT_Close(FT_HANDLE handle) {
  const auto found = open_.find(handle);
  if (found == open_.end()) return FT_INVALID_HANDLE;
  const int result = found->second.device->Close();
  open_.erase(found);
  return D2xxStatusOf(RawOp::Close, result);
}

}  // namespace tlx::usb
