// One run of the campaign: a session on a faulty board, its verdict, and after a reported
// failure further attempts on a healthy board until one completes.
#pragma once

#include <cstdint>

#include "run_plan.h"
#include "verdict.h"

namespace tlx::campaign {

// Virtual time one session may take before it counts as hung: a healthy update takes about
// half a second; every failed attempt can wait out the 100 ms read timeout, and a read-back
// may be repeated up to 50 times.
inline constexpr double kSessionBoundMs = 10 * 60 * 1000.0;

// Attempts on the same board after a reported failure before the run counts as wrong.
inline constexpr int kMostFurtherAttempts = 3;

struct RunResult {
  RunPlan plan;
  Verdict verdict;
  double sessionMs = 0;     // the faulty session's virtual time
  int furtherAttempts = 0;  // after a reported failure, up to the one that completed
};

RunResult RunOne(std::uint64_t seed);

}  // namespace tlx::campaign
