// The one record of the USB connection with the board: handle, outcome of the last device
// operation, transfer lengths and counts, the board's versions, command parameters and the
// command and reply buffers. Zeroed at start; lives as long as the program.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/flag16.h"
#include "common/version_pair.h"
#include "link/d2xx.h"

namespace tlx {

inline constexpr std::size_t kLinkBufferSize = 4096;
// LinkStatus of a read loop that got nothing, or a failing library status. D2XX's own
// statuses stay far below it, so it can never be mistaken for one of them (8, for example,
// is the library's FT_DEVICE_NOT_OPENED_FOR_ERASE).
inline constexpr std::int32_t kReadLoopFailed = 0x100;

struct DeviceConnection {
  Flag16 NoDataFlag = kFalse;
  Flag16 ReadErrorFlag = kFalse;
  Flag16 DeviceOpen = kFalse;
  VersionPair HardwareVersion;
  VersionPair FirmwareVersion;
  FT_HANDLE DeviceHandle = 0;
  std::int32_t BytesWritten = 0;
  std::int32_t BytesReceived = 0;
  std::int32_t ReceivedTotal = 0;
  std::int32_t WriteLength = 0;
  std::int32_t ReadLength = 0;
  std::int32_t LinkStatus = 0;
  std::int32_t ImageOffset = 0;
  std::int32_t FlashAddress = 0;
  std::int32_t BlockCount = 0;
  std::int32_t ExValue = 0;
  std::string DeviceDescription;
  std::string CommandText;
  std::array<std::uint8_t, kLinkBufferSize> CommandBuffer{};
  std::array<std::uint8_t, kLinkBufferSize> ReplyBuffer{};
};

}  // namespace tlx
