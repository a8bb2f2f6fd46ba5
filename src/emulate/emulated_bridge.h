// An FT232R bridge on the emulated USB bus, with the simulated bootloader behind it. It
// answers the usbdevfs requests on its device node as the kernel and the chip would, so the
// real libusb and libftdi1 run above it unchanged; sysfs lists it with its product and serial
// strings. Replies leave the chip in 64-byte packets led by two modem-status bytes; a read the
// chip cannot fill waits for its latency timer. Each bridge answers on a thread of its own, as
// each chip works on its own: one bridge's requests never queue behind another's.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "sim/bootloader_model.h"

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _UMockdevIoctlData;

namespace tlx::emulate {

using BridgeClock = std::chrono::steady_clock;

// What the bus shows of a bridge, and the versions of the board behind it.
struct BridgeSpec {
  std::string product = "Tambrelux Pro";
  std::uint16_t vendorId = 0x0403;
  std::string serial{};  // empty: the chip has no serial number string
  std::uint8_t hardwareByte = 0x21;
  std::uint8_t firmwareByte = 0x11;
};

// Where a bridge is plugged in: a port of a bus's root hub.
struct UsbPort {
  int bus;
  int port;
};

// One request as it crossed the bridge: a control request, or the data of a bulk transfer.
struct Crossing {
  enum Kind { Control, ToBoard, ToHost } kind;
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::vector<std::uint8_t> bytes;
};

struct BridgeReport {
  std::vector<Crossing> trace;
  int controlUrbs = 0;
  int bulkOutUrbs = 0;
  int bulkInUrbs = 0;
  bool serialDriverBound = true;
  BridgeClock::time_point unpluggedAt;
};

class EmulatedBridge {
 public:
  EmulatedBridge(_UMockdevTestbed* testbed, BridgeSpec spec, UsbPort where);
  ~EmulatedBridge();

  // Plugged in again, the board comes back power-cycled with its flash kept.
  void Plug();
  // Pending transfers end with -ESHUTDOWN, every later request with ENODEV.
  void Unplug();
  // The cable goes with the first bulk write that matches; its bytes never reach the board.
  void UnplugOnWrite(std::function<bool(std::span<const std::uint8_t>)> matches);
  // A board that answers late: each reply byte reaches the chip this long after the last.
  void PaceReplies(std::chrono::milliseconds perByte);
  // Mode 0: only root may open the device node.
  void LockNode();

  const sim::BootloaderModel& Board() const { return board_; }
  BridgeReport Report() const;

 private:
  struct Urb;
  struct Answer {
    long result;
    int error;
  };
  static int OnIoctl(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self);
  void AnswerRequests(std::stop_token stop);
  void AnswerRequest(_UMockdevIoctlClient* client);
  Answer Respond(_UMockdevIoctlClient* client, unsigned long request, _UMockdevIoctlData* arg);
  Answer Submit(_UMockdevIoctlClient* client, _UMockdevIoctlData* arg);
  Answer Reap(_UMockdevIoctlClient* client, _UMockdevIoctlData* arg);
  Answer Discard(_UMockdevIoctlClient* client, unsigned long urb);
  Answer Claim(_UMockdevIoctlClient* client, bool detachDriver);
  Answer Driver(bool connect);
  int Control(_UMockdevIoctlData* urb);
  bool ToBoard(_UMockdevIoctlData* urb);
  void ToHost(_UMockdevIoctlData* urb);
  void PullOut();

  _UMockdevTestbed* testbed_;
  _UMockdevIoctlBase* handler_;
  const BridgeSpec spec_;
  const UsbPort where_;
  mutable std::mutex mutex_;
  sim::BootloaderModel board_;
  std::string node_;  // the device node while plugged in, else empty
  std::vector<std::unique_ptr<Urb>> urbs_;
  std::deque<std::pair<BridgeClock::time_point, std::uint8_t>> fifoToHost_;
  BridgeClock::time_point lastPacket_;
  std::chrono::milliseconds latency_{16};
  std::chrono::milliseconds replyPace_{0};
  std::function<bool(std::span<const std::uint8_t>)> unplugOnWrite_;
  BridgeReport report_;
  _UMockdevIoctlClient* claimedBy_ = nullptr;
  std::mutex requestsMutex_;
  std::condition_variable_any requestQueued_;
  std::deque<_UMockdevIoctlClient*> requests_;  // each holding a reference until answered
  std::jthread answerer_;                       // last: it ends before what it uses
};

}  // namespace tlx::emulate
