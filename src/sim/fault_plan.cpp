#include "sim/fault_plan.h"

#include <algorithm>

namespace tlx::sim {

void FaultPlan::Add(const ScriptedFault& fault) {
  if (fault.kind != FaultKind::Unplug) {
    scripted_.push_back(fault);
  } else if (unplugAt_ == 0 || fault.fromCall < unplugAt_) {
    UnplugAt(fault.fromCall);
  }
}

void FaultPlan::SetRandom(std::uint64_t seed, const FaultRates& rates) {
  seed_ = seed;
  rates_ = rates;
  random_ = true;
}

// A byte is stuck one way only: a second call for the same offset replaces the mask.
void FaultPlan::StickByte(std::uint32_t offset, std::uint8_t xorMask) {
  const auto same = [offset](const auto& stuck) { return stuck.first == offset; };
  std::erase_if(stuck_, same);
  stuck_.emplace_back(offset, xorMask);
}

void FaultPlan::UnplugAt(int callNumber) {
  unplugAt_ = std::max(callNumber, 0);
}

}  // namespace tlx::sim
