// The calls of FTDI's D2XX library that the program uses, as an interface, so the same code
// runs over libftdi1 (real boards on Linux), the vendor's own library (Windows) and the
// simulated boards (tests, demo): the eight calls of the device link, and the device list
// that finds several boards. Argument and status conventions are those of D2XX.
#pragma once

#include <cstdint>
#include <string>

namespace tlx {

using FT_STATUS = std::uint32_t;
using FT_HANDLE = std::uint32_t;  // opaque; 0 never names an open device
using DWORD = std::uint32_t;
using UCHAR = std::uint8_t;

inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
inline constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;
inline constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
inline constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED_FOR_ERASE = 8;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED_FOR_WRITE = 9;
inline constexpr FT_STATUS FT_FAILED_TO_WRITE_DEVICE = 10;
inline constexpr FT_STATUS FT_INVALID_ARGS = 16;
inline constexpr FT_STATUS FT_NOT_SUPPORTED = 17;
inline constexpr FT_STATUS FT_OTHER_ERROR = 18;

inline constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
inline constexpr DWORD FT_OPEN_BY_DESCRIPTION = 2;
// arg1 of FT_OpenEx then carries the location id itself, not a pointer to it.
inline constexpr DWORD FT_OPEN_BY_LOCATION = 4;
inline constexpr DWORD FT_PURGE_RX = 1;
inline constexpr DWORD FT_PURGE_TX = 2;

// Device list flags: the device is open in this or another program.
inline constexpr DWORD FT_FLAGS_OPENED = 1;
// Not D2XX's own: the device is there, but this user may not open it (on Linux, no udev rule
// grants access); its strings then come from what the system publishes to everyone.
inline constexpr DWORD FT_FLAGS_NO_ACCESS = 0x100;

// One attached device, as the device list describes it. Strings are NUL-terminated.
struct FT_DEVICE_LIST_INFO_NODE {
  DWORD Flags = 0;
  DWORD Type = 0;
  DWORD ID = 0;     // vendor id in the high 16 bits, product id in the low
  DWORD LocId = 0;  // where it is plugged in; see link/device_location.h
  char SerialNumber[16] = {};
  char Description[64] = {};
  FT_HANDLE ftHandle = 0;  // the handle when this program has it open, else 0
};

// FT_OpenEx's arg1 for FT_OPEN_BY_LOCATION, as the library takes it.
inline const char* LocationArgument(DWORD locId) {
  return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(locId));
}
inline DWORD LocationOfArgument(const char* arg1) {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(arg1));
}

class D2xx {
 public:
  virtual ~D2xx() = default;

  // Builds the list of attached devices and tells how many there are.
  virtual FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevices) = 0;
  // Copies the list the last FT_CreateDeviceInfoList built into list, which holds *numDevices
  // entries at least, and sets *numDevices to the count copied.
  virtual FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) = 0;
  // Opens the device named by arg1 (a NUL-terminated description, a NUL-terminated serial
  // number, or a location id, as flags says) and writes its handle to *handle.
  virtual FT_STATUS FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) = 0;
  // What the opened device is, as the device list describes it, read when it was opened:
  // its type, USB ids, serial number (16 bytes) and description (64 bytes), NUL-terminated.
  // The library's last argument, reserved, is left out.
  virtual FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id, char* serialNumber,
                                     char* description) = 0;
  // Read and write timeouts in milliseconds; 0 for the write timeout means none.
  virtual FT_STATUS FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) = 0;
  virtual FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) = 0;
  virtual FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                        DWORD outTransferSize) = 0;
  virtual FT_STATUS FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                             DWORD* bytesWritten) = 0;
  // Returns when bytesToRead bytes have arrived or the read timeout has passed, with
  // *bytesReturned telling how many arrived (possibly none).
  virtual FT_STATUS FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                            DWORD* bytesReturned) = 0;
  // mask: FT_PURGE_RX, FT_PURGE_TX or both.
  virtual FT_STATUS FT_Purge(FT_HANDLE handle, DWORD mask) = 0;
  virtual FT_STATUS FT_Close(FT_HANDLE handle) = 0;
};

}  // namespace tlx
