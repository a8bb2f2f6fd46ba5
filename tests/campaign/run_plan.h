// What one run of the fault campaign does to the board: which kind of fault, how often, from
// which part of the session on, and which board and image it runs with. Everything follows
// from the run's seed, so a seed names one exact run.
#pragma once

#include <cstdint>
#include <string>

#include "sim/fault_plan.h"

namespace tlx::campaign {

enum class FaultClass {
  FailStatus,
  IoErrorWithBytes,
  NoData,
  SplitReply,
  BitFlip,
  PartialWrite,
  BadProgram,
  StuckByte,
  Unplug,
  Mixed,  // every random kind at once, sometimes with an unplug
};
inline constexpr int kFaultClassCount = 10;

const char* FaultClassName(FaultClass faultClass);

// The part of the session from whose first call on the faults strike.
enum class Phase { StartUp, DeviceCheck, Flash };
inline constexpr int kPhaseCount = 3;

const char* PhaseName(Phase phase);

struct RunPlan {
  std::uint64_t seed = 0;
  FaultClass faultClass = FaultClass::FailStatus;
  double rate = 0;  // per D2XX call; per programmed block for bad programming
  Phase onset = Phase::StartUp;
  std::uint8_t boardFirmware = 0x11;
  std::uint8_t imageVersion = 0x20;
  int unplugAfter = 0;  // the board goes at this call counted from the onset; 0: never
  std::uint32_t stuckByte = 0;
  std::uint8_t stuckMask = 1;
  std::uint64_t faultSeed = 0;
};

// Consecutive seeds go round the fault classes, so every class gets its share of the runs.
RunPlan PlanFor(std::uint64_t seed);

// Arms the plan's faults; callsSoFar is the number of D2XX calls made before the onset.
void ArmFaults(const RunPlan& plan, sim::FaultPlan& faults, int callsSoFar);

std::string Describe(const RunPlan& plan);

}  // namespace tlx::campaign
