// The D2XX seam over the vendor's ftd2xx.dll, loaded when the program starts rather than
// linked, so a machine without the driver runs the program and hears why no board is found
// instead of meeting the loader's error box. The library's pointer handles are kept in a table
// and the program sees small numbers for them, as the seam's handles are.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "link/d2xx.h"
#include "windows/d2xx_abi.h"

namespace tlx::windows {

// The line the program prints on stderr when the library could not be loaded.
inline constexpr char kDriverMissing[] =
    "The FTDI D2XX driver is not installed (ftd2xx.dll was not found or lacks a call this "
    "program needs); install it from the board's support page and try again.";

class DllD2xx final : public D2xx {
 public:
  // Loads ftd2xx.dll from the program's folder or the system folder, never from the working
  // folder or PATH, so another program's copy cannot stand in for the driver.
  DllD2xx();
  ~DllD2xx() override;
  DllD2xx(const DllD2xx&) = delete;
  DllD2xx& operator=(const DllD2xx&) = delete;

  // Without the library every call fails as with no board attached.
  bool Loaded() const { return library_ != nullptr; }

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

 private:
  struct Calls {
    abi::FT_CreateDeviceInfoList_t createDeviceInfoList = nullptr;
    abi::FT_GetDeviceInfoList_t getDeviceInfoList = nullptr;
    abi::FT_OpenEx_t openEx = nullptr;
    abi::FT_GetDeviceInfo_t getDeviceInfo = nullptr;
    abi::FT_SetTimeouts_t setTimeouts = nullptr;
    abi::FT_SetLatencyTimer_t setLatencyTimer = nullptr;
    abi::FT_SetUSBParameters_t setUSBParameters = nullptr;
    abi::FT_Write_t write = nullptr;
    abi::FT_Read_t read = nullptr;
    abi::FT_Purge_t purge = nullptr;
    abi::FT_Close_t close = nullptr;
  };

  bool Bind();
  // The library's handle for ours; nullptr for one this object did not hand out.
  abi::FT_HANDLE Find(FT_HANDLE handle) const;
  FT_HANDLE Ours(abi::FT_HANDLE theirs) const;

  HMODULE library_ = nullptr;
  Calls calls_;
  std::map<FT_HANDLE, abi::FT_HANDLE> handles_;
  FT_HANDLE lastHandle_ = 0;
};

}  // namespace tlx::windows
