// An FT232R bridge on an emulated USB bus (umockdev), with the simulated bootloader behind it.
// The usbdevfs requests on its device node are answered here as the kernel and the chip would
// answer them, so the real libusb and libftdi1 run above it unchanged, in this process or in
// a child. Replies leave the chip in 64-byte packets that start with two modem-status bytes;
// a read waits for the latency timer when the chip has less than a whole transfer to send.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "sim/bootloader_model.h"

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _UMockdevIoctlData;

namespace tlx::test {

using BridgeClock = std::chrono::steady_clock;

struct BridgeSpec {
  std::string product = "Tambrelux Pro";
  std::uint16_t vendorId = 0x0403;
  std::uint8_t firmwareByte = 0x11;
};

// One request as it crossed the bridge: a control request, or the data of a bulk transfer.
struct Crossing {
  enum Kind { Control, ToBoard, ToHost } kind;
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::vector<std::uint8_t> bytes;
};

struct UrbCounts {
  int control = 0;
  int bulkOut = 0;
  int bulkIn = 0;
};

class EmulatedBridge {
 public:
  EmulatedBridge(_UMockdevTestbed* testbed, BridgeSpec spec, int port);
  ~EmulatedBridge();
  EmulatedBridge(const EmulatedBridge&) = delete;
  EmulatedBridge& operator=(const EmulatedBridge&) = delete;

  // Plugs the bridge in; after an unplug the board comes back power-cycled, its flash kept.
  void Plug();
  // Pending transfers end with -ESHUTDOWN, every later request with ENODEV.
  void Unplug();
  // The cable goes with the first bulk write whose bytes match; they never reach the board.
  void UnplugOnWrite(std::function<bool(std::span<const std::uint8_t>)> matches);
  // A board that answers late: each reply byte reaches the chip this long after the one before.
  void PaceReplies(std::chrono::milliseconds perByte);
  // Gives the device node mode 0600, so only root may open it.
  void LockNode();
  bool Locked() const { return locked_; }

  const sim::BootloaderModel& Board() const { return board_; }
  std::vector<Crossing> Trace() const;
  UrbCounts Counts() const;
  bool SerialDriverBound() const;
  BridgeClock::time_point UnpluggedAt() const;
  std::string NodePath() const;

 private:
  struct Urb;
  struct Answer {
    long result;
    int error;
  };

  static int OnIoctl(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self);
  Answer Respond(_UMockdevIoctlClient* client);
  Answer Submit(_UMockdevIoctlClient* client, _UMockdevIoctlData* arg);
  Answer Reap(_UMockdevIoctlClient* client, _UMockdevIoctlData* arg);
  Answer Discard(_UMockdevIoctlClient* client, _UMockdevIoctlData* arg);
  Answer Claim(_UMockdevIoctlClient* client, bool detachDriver);
  Answer DriverRequest(_UMockdevIoctlData* arg);
  int Control(_UMockdevIoctlData* urb);
  bool ToBoard(_UMockdevIoctlData* urb);
  void ToHost(_UMockdevIoctlData* urb);
  void PullOut();
  bool Current(_UMockdevIoctlClient* client) const;

  _UMockdevTestbed* testbed_;
  _UMockdevIoctlBase* handler_;
  const BridgeSpec spec_;
  const int port_;
  mutable std::mutex mutex_;
  sim::BootloaderModel board_;
  std::string node_;     // the device node while plugged in, else empty
  std::string sysPath_;  // its sysfs folder
  std::vector<std::unique_ptr<Urb>> urbs_;
  std::deque<std::pair<BridgeClock::time_point, std::uint8_t>> fifoToHost_;
  BridgeClock::time_point lastPacket_;
  BridgeClock::time_point unpluggedAt_;
  std::chrono::milliseconds latency_;
  std::chrono::milliseconds replyPace_{0};
  std::function<bool(std::span<const std::uint8_t>)> unplugOnWrite_;
  std::vector<Crossing> trace_;
  UrbCounts counts_;
  _UMockdevIoctlClient* claimedBy_ = nullptr;
  bool driverBound_ = true;
  bool locked_ = false;
};

}  // namespace tlx::test
