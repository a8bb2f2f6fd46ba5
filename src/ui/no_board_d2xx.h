// The D2XX calls of a machine without the board's driver: nothing can be opened, so the
// updater says the hardware was not found and ends.
#pragma once

#include "link/d2xx.h"

namespace tlx::ui {

class NoBoardD2xx : public D2xx {
 public:
  FT_STATUS FT_OpenEx(const char*, DWORD, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
  FT_STATUS FT_SetTimeouts(FT_HANDLE, DWORD, DWORD) override { return FT_INVALID_HANDLE; }
  FT_STATUS FT_SetLatencyTimer(FT_HANDLE, UCHAR) override { return FT_INVALID_HANDLE; }
  FT_STATUS FT_SetUSBParameters(FT_HANDLE, DWORD, DWORD) override { return FT_INVALID_HANDLE; }
  FT_STATUS FT_Write(FT_HANDLE, const std::uint8_t*, DWORD, DWORD* written) override {
    *written = 0;
    return FT_INVALID_HANDLE;
  }
  FT_STATUS FT_Read(FT_HANDLE, std::uint8_t*, DWORD, DWORD* returned) override {
    *returned = 0;
    return FT_INVALID_HANDLE;
  }
  FT_STATUS FT_Purge(FT_HANDLE, DWORD) override { return FT_INVALID_HANDLE; }
  FT_STATUS FT_Close(FT_HANDLE) override { return FT_INVALID_HANDLE; }
};

}  // namespace tlx::ui
