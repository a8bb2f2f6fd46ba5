// One chosen board out of several, for the unchanged window logic, which opens "the" board by
// its description: an open by description here opens the board at the location it was listed
// at, and only if the board opened there still carries the serial number and description it
// was listed with. A board swapped between listing and opening is refused rather than updated
// in the other's place. The list is not read again, so opening N boards costs N opens, not N
// lists of N boards. Every other call passes through to the D2XX beneath.
#pragma once

#include <string>

#include "link/d2xx.h"

namespace tlx {

class PinnedD2xx final : public D2xx {
 public:
  // locId and serial as the device list gave them; serial may be empty (a board without one).
  PinnedD2xx(D2xx& inner, DWORD locId, std::string serial);

  FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevices) override;
  FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) override;
  // By description: FT_DEVICE_NOT_FOUND when the board at the location is gone, carries
  // another serial number or another description; otherwise what opening it by location gives.
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

 private:
  // Whether the board opened at the location is the one listed there.
  FT_STATUS CheckOpenedBoard(FT_HANDLE opened, const char* description);

  D2xx& inner_;
  const DWORD locId_;
  const std::string serial_;
};

}  // namespace tlx
