// Decides, call by call, which fault of the plan strikes: the unplug, the scripted faults
// (counted per fault over the calls it matches) and the seeded random ones, and applies the
// faults that change bytes (bit flips on the way to the host, defects on the way into flash).
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/random_source.h"

namespace tlx::sim {

struct Fault {
  FaultKind kind = FaultKind::FailStatus;
  FT_STATUS status = FT_IO_ERROR;
  std::uint32_t bytesPassed = 0;  // PartialWrite; 0: drawn at random
};

class FaultInjector {
 public:
  explicit FaultInjector(const FaultPlan& plan) : plan_(plan) {}

  // Counts one D2XX call, whatever becomes of it; true once the board is unplugged.
  bool CountCallAndCheckUnplugged();
  // Whether the board is gone by the calls counted so far; safe from any thread.
  bool Unplugged() const;
  // The fault for a call that reached the device; tag names the command it belongs to.
  std::optional<Fault> ForCall(D2xxCall call, std::string_view tag);
  void FlipOneBit(std::span<std::uint8_t> delivered);
  // How many of a write's count bytes a PartialWrite fault lets through: at least one, and at
  // most all but one; none of a write too short to cut.
  std::size_t BytesPassed(const Fault& fault, std::size_t count);
  // Stuck bytes and random bad programming, applied to a block about to be programmed.
  void ApplyProgramDefects(std::uint32_t firstByte, std::span<std::uint8_t> data);

 private:
  std::optional<Fault> Scripted(D2xxCall call, std::string_view tag);
  std::optional<Fault> RandomFor(D2xxCall call, std::string_view tag);
  RandomSource& Generator();

  const FaultPlan& plan_;
  std::atomic<int> calls_ = 0;     // read by the device list of a bus from other threads
  std::vector<int> matchedCalls_;  // per scripted fault
  std::optional<std::uint64_t> seededWith_;
  RandomSource random_;
};

}  // namespace tlx::sim
