#include "sim/pacing.h"

#include <thread>

namespace tlx::sim {
namespace {

// A host that came back later than this after the last call was busy elsewhere; the bridge
// sat idle meanwhile, so the schedule starts afresh instead of letting the host catch up.
constexpr auto kIdleGap = std::chrono::milliseconds(2);

}  // namespace

void Pacer::Spend(double milliseconds) {
  if (milliseconds <= 0) return;
  modelMs_ += milliseconds;
  if (pace_ == Pace::Realistic) SleepFor(milliseconds);
}

// Sleeps to a running deadline rather than for each call's own cost, so the oversleep of one
// short call is taken back from the next instead of adding up over thousands of calls.
void Pacer::SleepFor(double milliseconds) {
  const Clock::time_point now = Clock::now();
  if (now > deadline_ + kIdleGap) deadline_ = now;
  deadline_ += std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double, std::milli>(milliseconds));
  std::this_thread::sleep_until(deadline_);
}

}  // namespace tlx::sim
