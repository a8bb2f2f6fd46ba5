#include "scripted_d2xx.h"

#include <algorithm>
#include <array>

namespace tlx::fuzz {
namespace {

// Mostly success, then the statuses the read loop treats differently: 4 is tolerated while
// bytes arrive, anything else ends the loop.
constexpr std::array<FT_STATUS, 8> kReadStatuses{
    FT_OK, FT_OK, FT_OK, FT_OK, FT_IO_ERROR, FT_IO_ERROR, FT_OTHER_ERROR, FT_INVALID_HANDLE};

}  // namespace

FT_STATUS ScriptedD2xx::FT_OpenEx(const char*, DWORD, FT_HANDLE* handle) {
  *handle = 1;
  return FT_OK;
}

FT_STATUS ScriptedD2xx::CallStatus() {
  return input_.Byte() % 8 == 7 ? FT_IO_ERROR : FT_OK;
}

FT_STATUS ScriptedD2xx::FT_Write(FT_HANDLE, const std::uint8_t* buffer, DWORD bytesToWrite,
                                 DWORD* bytesWritten) {
  lastWrite.assign(buffer, buffer + bytesToWrite);
  lastWriteStatus = CallStatus();
  *bytesWritten = lastWriteStatus == FT_OK ? bytesToWrite : 0;
  return lastWriteStatus;
}

FT_STATUS ScriptedD2xx::FT_Read(FT_HANDLE, std::uint8_t* buffer, DWORD bytesToRead,
                                DWORD* bytesReturned) {
  ReadRecord read;
  read.asked = bytesToRead;
  if (!input_.Empty()) {
    const std::uint8_t shape = input_.Byte();
    read.status = kReadStatuses[shape % kReadStatuses.size()];
    const std::uint32_t count = input_.Number(2);
    const auto bytes = input_.Bytes(std::min<std::uint32_t>(count, bytesToRead));
    read.delivered.assign(bytes.begin(), bytes.end());
    std::ranges::copy(bytes, buffer);
    const bool brokenCount = (shape & 0x80) != 0;
    read.reported = brokenCount ? bytesToRead + 1 + count % 16 : static_cast<DWORD>(bytes.size());
  }
  *bytesReturned = read.reported;
  reads.push_back(std::move(read));
  return reads.back().status;
}

FT_STATUS ScriptedD2xx::FT_Purge(FT_HANDLE, DWORD) {
  return CallStatus();
}

}  // namespace tlx::fuzz
