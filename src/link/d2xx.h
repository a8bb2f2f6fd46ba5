// The eight calls of FTDI's D2XX library that the device link uses, as an interface, so the
// same link code runs over libftdi1 (real boards) and over the simulated board (tests, demo).
// Argument and status conventions are those of D2XX.
#pragma once

#include <cstdint>

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
inline constexpr DWORD FT_PURGE_RX = 1;
inline constexpr DWORD FT_PURGE_TX = 2;

class D2xx {
 public:
  virtual ~D2xx() = default;

  // Opens the device named by arg1 (a NUL-terminated description when flags is
  // FT_OPEN_BY_DESCRIPTION) and writes its handle to *handle.
  virtual FT_STATUS FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) = 0;
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
