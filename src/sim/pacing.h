// The clock of the simulated board. Every call costs what a full-speed FIFO bridge and the
// board's flash would take; the cost is added to a model clock in both paces, and in the
// realistic pace the call also really takes that long (and the bridge moves bytes by it).
#pragma once

#include <chrono>
#include <cstddef>

#include "sim/simulated_board.h"

namespace tlx::sim {

struct BridgeTiming {
  double bytesPerMs = 1000;      // about 1 MB/s each way
  double programMsPerBlock = 4;  // flash programming of one 2,048-byte block
  double controlCallMs = 1;      // open, configuration, purge, close: one control transfer
  double defaultLatencyMs = 16;  // the bridge's latency timer until it is set
  // Written bytes the bridge holds that the wire has not yet carried: less than a control
  // transfer's worth, so a purge after a healthy write finds them gone.
  std::size_t transmitBufferBytes = 256;
};

class Pacer {
 public:
  explicit Pacer(Pace pace, BridgeTiming timing = {}) : pace_(pace), timing_(timing) {}

  const BridgeTiming& Timing() const { return timing_; }
  double TransferMs(std::size_t bytes) const {
    return static_cast<double>(bytes) / timing_.bytesPerMs;
  }
  void Spend(double milliseconds);
  double ModelMilliseconds() const { return modelMs_; }

 private:
  using Clock = std::chrono::steady_clock;

  void SleepFor(double milliseconds);

  Pace pace_;
  BridgeTiming timing_;
  double modelMs_ = 0;
  Clock::time_point deadline_{};
};

}  // namespace tlx::sim
