// The board's USB bridge, between the host's D2XX calls and the bootloader. Bytes the host
// writes wait in its transmit buffer until the wire carries them to the bootloader; reply
// bytes wait in its receive buffer until the host reads them. The host can empty either
// buffer and reaches no further: a frame the bootloader has begun to take, and reply bytes it
// has not yet sent, stay the bootloader's.
//
// On the instant pace the wire carries everything at once. On the realistic pace it carries
// one byte at a time each way at the wire rate, by the model clock; the bootloader takes no
// bytes while it programs a block, and a write ends once the transmit buffer can hold what
// the wire has not yet carried.
#pragma once

#include <cstdint>
#include <deque>
#include <span>

#include "sim/bootloader_model.h"
#include "sim/pacing.h"

namespace tlx::sim {

class Bridge {
 public:
  Bridge(BootloaderModel& bootloader, Pace pace, const BridgeTiming& timing);

  // Takes bytes the host writes at nowMs; returns when the write ends.
  double Accept(std::span<const std::uint8_t> bytes, double nowMs);
  // Waits from nowMs until count reply bytes are in the receive buffer: returns when the last
  // of them arrived (nowMs if they were there), or deadlineMs if they did not all arrive.
  double Collect(std::size_t count, double nowMs, double deadlineMs);
  // Lets the wire carry what it can until untilMs.
  void RunUntil(double untilMs);
  // Moves up to destination.size() bytes out of the receive buffer; returns how many.
  std::size_t Take(std::span<std::uint8_t> destination);
  void PurgeTransmit() { transmit_.clear(); }
  void PurgeReceive() { receive_.clear(); }

 private:
  void PassAllAtOnce();
  double NextToBootloaderMs() const;
  double NextToHostMs() const;
  // Carries the byte that is due first, either way; returns when it arrived.
  double Step();
  void CarryToBootloader(double atMs);
  void CarryToHost(double atMs);

  BootloaderModel& bootloader_;
  Pace pace_;
  BridgeTiming timing_;
  std::deque<std::uint8_t> transmit_;
  std::deque<std::uint8_t> receive_;
  // Realistic pace: when each direction of the wire last carried a byte, and until when the
  // bootloader is busy programming.
  double transmitFreeMs_ = 0;
  double receiveFreeMs_ = 0;
  double busyUntilMs_ = 0;
};

}  // namespace tlx::sim
