// One chosen board behind a D2XX realisation that may hold several: the window logic opens
// "the board" by its description, and this opens exactly the one at the chosen location, and
// only when its serial is still the one listed (a board swapped between the list and the open
// is not written). Every other call passes through.
#pragma once

#include <memory>
#include <string>

#include "link/d2xx.h"

namespace tlx::update_program {

class PinnedBoard final : public D2xx {
 public:
  PinnedBoard(std::shared_ptr<D2xx> d2xx, DWORD locId, std::string serial);

  FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevices) override;
  FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) override;
  FT_STATUS FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) override;
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) override {
    return d2xx_->FT_SetTimeouts(handle, readTimeout, writeTimeout);
  }
  FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) override {
    return d2xx_->FT_SetLatencyTimer(handle, milliseconds);
  }
  FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                DWORD outTransferSize) override {
    return d2xx_->FT_SetUSBParameters(handle, inTransferSize, outTransferSize);
  }
  FT_STATUS FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                     DWORD* bytesWritten) override {
    return d2xx_->FT_Write(handle, buffer, bytesToWrite, bytesWritten);
  }
  FT_STATUS FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                    DWORD* bytesReturned) override {
    return d2xx_->FT_Read(handle, buffer, bytesToRead, bytesReturned);
  }
  FT_STATUS FT_Purge(FT_HANDLE handle, DWORD mask) override {
    return d2xx_->FT_Purge(handle, mask);
  }
  FT_STATUS FT_Close(FT_HANDLE handle) override { return d2xx_->FT_Close(handle); }

 private:
  bool SerialStillMatches();

  std::shared_ptr<D2xx> d2xx_;
  DWORD locId_;
  std::string serial_;
};

}  // namespace tlx::update_program
