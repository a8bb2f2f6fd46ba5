// One run of the campaign: a session on a faulty board, its verdict, and after a reported
// failure a second attempt on a healthy board, which must complete.
#pragma once

#include <cstdint>

#include "run_plan.h"
#include "verdict.h"

namespace tlx::campaign {

// Virtual time one session may take before it counts as hung: a healthy update takes about
// half a second; every failed attempt can wait out the 100 ms read timeout, and a read-back
// may be repeated up to 50 times.
inline constexpr double kSessionBoundMs = 10 * 60 * 1000.0;

struct RunResult {
  RunPlan plan;
  Verdict verdict;
  double sessionMs = 0;  // the faulty session's virtual time
  bool retried = false;
};

RunResult RunOne(std::uint64_t seed);

}  // namespace tlx::campaign
