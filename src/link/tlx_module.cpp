// The USB connection with the board and its raw transfers.
#include "link/tlx_module.h"

#include <algorithm>

namespace tlx {

TLXModule::TLXModule(D2xx& d2xx, std::vector<std::uint8_t>& imageBuffer)
    : d2xx_(d2xx), imageBuffer_(imageBuffer) {}

void TLXModule::OpenDevice() {
  DeviceOpen = kFalse;
  // The description carries its terminating NUL, as the library expects it.
  DeviceDescription.assign(kDeviceDescription, sizeof kDeviceDescription);
  FT_HANDLE handle = 0;
  LinkStatus = static_cast<std::int32_t>(
      d2xx_.FT_OpenEx(DeviceDescription.c_str(), FT_OPEN_BY_DESCRIPTION, &handle));
  if (LinkStatus != 0) return;
  DeviceHandle = handle;
  DeviceOpen = kTrue;

  LinkStatus = static_cast<std::int32_t>(
      d2xx_.FT_SetTimeouts(DeviceHandle, kReadTimeoutMs, kWriteTimeoutMs));
  if (LinkStatus == 0)
    LinkStatus = static_cast<std::int32_t>(d2xx_.FT_SetLatencyTimer(DeviceHandle, kLatencyTimerMs));
  if (LinkStatus == 0)
    LinkStatus = static_cast<std::int32_t>(
        d2xx_.FT_SetUSBParameters(DeviceHandle, kUsbTransferSize, kUsbTransferSize));
  if (LinkStatus != 0) CloseDevice();
}

void TLXModule::CloseDevice() {
  if (DeviceHandle != 0) d2xx_.FT_Close(DeviceHandle);
  DeviceOpen = kFalse;
  DeviceHandle = 0;
}

void TLXModule::PurgeLink() {
  LinkStatus = static_cast<std::int32_t>(d2xx_.FT_Purge(DeviceHandle, kPurgeBoth));
}

void TLXModule::SendCommand() {
  BytesWritten = 0;
  if (WriteLength < 0 || WriteLength > static_cast<std::int32_t>(kLinkBufferSize)) {
    LinkStatus = static_cast<std::int32_t>(FT_INVALID_PARAMETER);
    return;
  }
  DWORD written = 0;
  LinkStatus = static_cast<std::int32_t>(d2xx_.FT_Write(DeviceHandle, CommandBuffer.data(),
                                                        static_cast<DWORD>(WriteLength), &written));
  BytesWritten = static_cast<std::int32_t>(written);
}

void TLXModule::SendBlock() {
  if (!BlockFitsImage(WriteLength)) {
    LinkStatus = static_cast<std::int32_t>(FT_INVALID_PARAMETER);
    return;
  }
  DWORD written = 0;
  LinkStatus = static_cast<std::int32_t>(d2xx_.FT_Write(
      DeviceHandle, imageBuffer_.data() + ImageOffset, static_cast<DWORD>(WriteLength), &written));
  BytesWritten = static_cast<std::int32_t>(written);
}

void TLXModule::ReceiveReply() {
  std::fill(ReplyBuffer.begin(), ReplyBuffer.end(), std::uint8_t{' '});
  if (ReadLength < 0 || ReadLength > static_cast<std::int32_t>(kLinkBufferSize)) {
    LinkStatus = static_cast<std::int32_t>(FT_INVALID_PARAMETER);
    return;
  }
  ReadInto(ReplyBuffer.data());
}

void TLXModule::ReceiveBlock() {
  if (!BlockFitsImage(ReadLength)) {
    LinkStatus = static_cast<std::int32_t>(FT_INVALID_PARAMETER);
    return;
  }
  ReadInto(imageBuffer_.data() + ImageOffset);
}

// Gathers ReadLength bytes. Status 4 is tolerated while bytes keep arriving; a read that
// delivers nothing, or fails otherwise, ends the loop with kReadLoopFailed and its flag set.
void TLXModule::ReadInto(std::uint8_t* destination) {
  NoDataFlag = kFalse;
  ReadErrorFlag = kFalse;
  ReceivedTotal = 0;
  do {
    BytesReceived = 0;
    const auto missing = static_cast<DWORD>(ReadLength - ReceivedTotal);
    DWORD received = 0;
    const FT_STATUS status =
        d2xx_.FT_Read(DeviceHandle, destination + ReceivedTotal, missing, &received);
    BytesReceived = static_cast<std::int32_t>(std::min<DWORD>(received, INT32_MAX));
    LinkStatus = static_cast<std::int32_t>(status);
    // A count beyond what was asked for cannot be trusted; it counts as a failing read.
    if ((status != FT_OK && status != FT_IO_ERROR) || received > missing) {
      LinkStatus = kReadLoopFailed;
      ReadErrorFlag = kTrue;
    } else if (BytesReceived > 0) {
      ReceivedTotal += BytesReceived;
    } else {
      LinkStatus = kReadLoopFailed;
      NoDataFlag = kTrue;
    }
  } while (ReceivedTotal != ReadLength && NoDataFlag != kTrue && ReadErrorFlag != kTrue);
}

// Block transfers move data straight between the library and the image buffer; a range
// outside the buffer is refused rather than read or written out of bounds.
bool TLXModule::BlockFitsImage(std::int32_t length) const {
  const auto size = static_cast<std::int64_t>(imageBuffer_.size());
  return ImageOffset >= 0 && length >= 0 && static_cast<std::int64_t>(ImageOffset) + length <= size;
}

}  // namespace tlx
