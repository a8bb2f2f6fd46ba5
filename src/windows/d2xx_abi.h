// The vendor's D2XX library as its DLL exports it, declared by us from the library's public
// programmer's guide: the calls the D2XX seam names, with the WINAPI convention, a handle that
// is a pointer, and the device list's node with that pointer last. The binding to ftd2xx.dll
// and the stand-in DLL built from the simulated board both use these declarations, so the
// tests reach the binding through the ABI a real driver offers. Windows' DWORD (unsigned long)
// is written "::DWORD": the seam's DWORD is another type of the same size.
#pragma once

#include <windows.h>

namespace tlx::windows::abi {

using FT_HANDLE = void*;
using FT_STATUS = ULONG;

struct FT_DEVICE_LIST_INFO_NODE {
  ULONG Flags;
  ULONG Type;
  ULONG ID;
  ::DWORD LocId;
  char SerialNumber[16];
  char Description[64];
  FT_HANDLE ftHandle;
};
static_assert(sizeof(FT_DEVICE_LIST_INFO_NODE) == 16 + 16 + 64 + sizeof(void*));

using FT_CreateDeviceInfoList_t = FT_STATUS(WINAPI*)(LPDWORD numDevices);
using FT_GetDeviceInfoList_t = FT_STATUS(WINAPI*)(FT_DEVICE_LIST_INFO_NODE* list,
                                                  LPDWORD numDevices);
using FT_OpenEx_t = FT_STATUS(WINAPI*)(PVOID arg1, ::DWORD flags, FT_HANDLE* handle);
// The device type is the library's FT_DEVICE, a ULONG; the last argument is reserved.
using FT_GetDeviceInfo_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, ULONG* type, LPDWORD id,
                                              PCHAR serialNumber, PCHAR description, PVOID dummy);
using FT_SetTimeouts_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, ULONG readTimeout,
                                            ULONG writeTimeout);
using FT_SetLatencyTimer_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, UCHAR milliseconds);
using FT_SetUSBParameters_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, ULONG inTransferSize,
                                                 ULONG outTransferSize);
using FT_Write_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, LPVOID buffer, ::DWORD bytesToWrite,
                                      LPDWORD bytesWritten);
using FT_Read_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, LPVOID buffer, ::DWORD bytesToRead,
                                     LPDWORD bytesReturned);
using FT_Purge_t = FT_STATUS(WINAPI*)(FT_HANDLE handle, ULONG mask);
using FT_Close_t = FT_STATUS(WINAPI*)(FT_HANDLE handle);

}  // namespace tlx::windows::abi
