// The device link: the USB connection with the board (open, close, raw transfers) and the
// bootloader's four commands. Every operation reports through the connection fields it
// inherits, above all LinkStatus (0 = success); none takes arguments or returns a value.
#pragma once

#include <cstdint>
#include <vector>

#include "link/d2xx.h"
#include "link/device_connection.h"

namespace tlx {

inline constexpr char kDeviceDescription[] = "Tambrelux Pro";
inline constexpr DWORD kReadTimeoutMs = 100;
inline constexpr DWORD kWriteTimeoutMs = 0;
inline constexpr UCHAR kLatencyTimerMs = 2;
inline constexpr DWORD kUsbTransferSize = 65536;
inline constexpr DWORD kPurgeBoth = FT_PURGE_RX | FT_PURGE_TX;

class TLXModule : public DeviceConnection {
 public:
  // The image buffer belongs to its owner; block transfers read and write it in place.
  TLXModule(D2xx& d2xx, std::vector<std::uint8_t>& imageBuffer);

  // Connection and transfers.
  void OpenDevice();
  void CloseDevice();
  void SendCommand();
  void ReceiveReply();
  void ReceiveBlock();
  void SendBlock();
  // FT_Purge of both directions; its status goes to LinkStatus.
  void PurgeLink();

  // Bootloader commands.
  void QueryStatus();
  void SendEX();
  void ReadFlashBlock();
  void WriteFlashBlock();

 private:
  void SendFrame(std::initializer_list<std::uint8_t> frame);
  // The read loop shared by ReceiveReply and ReceiveBlock.
  void ReadInto(std::uint8_t* destination);
  bool BlockFitsImage(std::int32_t length) const;

  D2xx& d2xx_;
  std::vector<std::uint8_t>& imageBuffer_;
};

}  // namespace tlx
