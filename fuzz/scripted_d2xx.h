// A D2XX whose replies come from the fuzzer's input: each read takes a status, a byte count
// and that many bytes; each write and purge takes a status. Opening and configuring always
// work. When the input is used up the board falls silent: reads deliver nothing with FT_OK.
// Every read is recorded, so the checks can work out what the link should have made of it.
#pragma once

#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "link/d2xx.h"

namespace tlx::fuzz {

struct ReadRecord {
  DWORD asked = 0;
  FT_STATUS status = FT_OK;
  DWORD reported = 0;  // what *bytesReturned said; more than asked stands for a broken count
  std::vector<std::uint8_t> delivered;
};

class ScriptedD2xx final : public D2xx {
 public:
  explicit ScriptedD2xx(FuzzInput& input) : input_(input) {}

  // The link never lists devices.
  FT_STATUS FT_CreateDeviceInfoList(DWORD*) override { return FT_NOT_SUPPORTED; }
  FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE*, DWORD*) override {
    return FT_NOT_SUPPORTED;
  }
  FT_STATUS FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) override;
  FT_STATUS FT_GetDeviceInfo(FT_HANDLE, DWORD*, DWORD*, char*, char*) override {
    return FT_NOT_SUPPORTED;
  }
  FT_STATUS FT_SetTimeouts(FT_HANDLE, DWORD, DWORD) override { return FT_OK; }
  FT_STATUS FT_SetLatencyTimer(FT_HANDLE, UCHAR) override { return FT_OK; }
  FT_STATUS FT_SetUSBParameters(FT_HANDLE, DWORD, DWORD) override { return FT_OK; }
  FT_STATUS FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                     DWORD* bytesWritten) override;
  FT_STATUS FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                    DWORD* bytesReturned) override;
  FT_STATUS FT_Purge(FT_HANDLE handle, DWORD mask) override;
  FT_STATUS FT_Close(FT_HANDLE) override { return FT_OK; }

  std::vector<ReadRecord> reads;
  std::vector<std::uint8_t> lastWrite;
  FT_STATUS lastWriteStatus = FT_OK;

 private:
  FT_STATUS CallStatus();

  FuzzInput& input_;
};

}  // namespace tlx::fuzz
