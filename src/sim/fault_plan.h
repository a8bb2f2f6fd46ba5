// What goes wrong on the simulated board, and when: scripted faults ("the 3rd FT_Read returns
// status 4 with its bytes", "the first FT_Write from call 120 on passes 7 bytes"), seeded
// random faults at a rate per kind, persistent flash defects and an unplug from a given call on.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "link/d2xx.h"

namespace tlx::sim {

enum class D2xxCall {
  OpenEx,
  SetTimeouts,
  SetLatencyTimer,
  SetUSBParameters,
  Write,
  Read,
  Purge,
  Close
};

// What a fault does to the call it strikes. Reply bytes that a faulted read leaves
// undelivered stay in the bridge for later reads, as a late reply would; a purge drops them.
enum class FaultKind {
  FailStatus,        // any call: returns the fault's status and has no other effect
  IoErrorWithBytes,  // FT_Read or FT_Write: moves its bytes as usual but returns FT_IO_ERROR
  NoData,            // FT_Read: delivers nothing, FT_OK, after the read timeout
  SplitReply,        // FT_Read: delivers only the first byte of what it could
  BitFlip,           // FT_Read: one delivered bit inverted; the flash itself is intact
  PartialWrite,      // FT_Write: passes only its first bytes to the bridge, FT_IO_ERROR
  Unplug,            // strikes no call: the board is gone from the fault's call on
};

inline constexpr int kEveryLaterCall = std::numeric_limits<int>::max();

struct ScriptedFault {
  D2xxCall call = D2xxCall::Read;
  int first = 1;  // 1-based position among the matching calls
  int count = 1;  // consecutive matching calls affected; kEveryLaterCall for all from first
  FaultKind kind = FaultKind::FailStatus;
  FT_STATUS status = FT_IO_ERROR;  // what a FailStatus fault returns
  // When set ("SI", "EX", "RF", "WF"), only calls that belong to that command match: its
  // frame write, the data write of "WF", and the reads of its reply.
  std::string tag{};
  // When set, only calls from this one on match: the 1-based index of a D2XX call, all calls
  // counted, as the lines of the trace number them. For an unplug, the call it happens at.
  int fromCall = 0;
  // PartialWrite: how many bytes pass, at most all but one of the write; 0 draws them at random.
  std::uint32_t bytesPassed = 0;
};

// Probability per call of each kind of fault; badProgram is per written block. A random
// failing status is FT_DEVICE_NOT_OPENED for FT_OpenEx and FT_IO_ERROR for every other call.
struct FaultRates {
  double failStatus = 0;
  double ioErrorWithBytes = 0;
  double noData = 0;
  double splitReply = 0;
  double bitFlip = 0;       // reads of "RF" data only
  double badProgram = 0;    // one byte of a programmed block lands wrong (persistent)
  double partialWrite = 0;  // writes only; passes a uniformly drawn part of the write
};

class FaultPlan {
 public:
  // An unplug fault is kept as the unplug call; the earliest one counts.
  void Add(const ScriptedFault& fault);
  void SetRandom(std::uint64_t seed, const FaultRates& rates);
  // The flash byte at offset (0 to 65,535) always programs with xorMask applied.
  void StickByte(std::uint32_t offset, std::uint8_t xorMask = 0x01);
  // The board is gone from the callNumber-th D2XX call (1-based, all calls counted) on.
  void UnplugAt(int callNumber);

  const std::vector<ScriptedFault>& Scripted() const { return scripted_; }
  bool RandomEnabled() const { return random_; }
  std::uint64_t Seed() const { return seed_; }
  const FaultRates& Rates() const { return rates_; }
  const std::vector<std::pair<std::uint32_t, std::uint8_t>>& StuckBytes() const { return stuck_; }
  // 0 while the board stays plugged in.
  int UnplugCall() const { return unplugAt_; }

 private:
  std::vector<ScriptedFault> scripted_;
  FaultRates rates_{};
  std::uint64_t seed_ = 0;
  bool random_ = false;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> stuck_;
  int unplugAt_ = 0;
};

}  // namespace tlx::sim
