// Counts of outcomes per fault class, of runs that programmed outside the region being written,
// the longest session, and the table the campaign prints.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "campaign_run.h"

namespace tlx::campaign {

class Tally {
 public:
  void Add(const RunResult& result);
  // A Markdown table, one row per fault class and one for all runs, then the time figures.
  std::string Table() const;
  // One line per run that went wrong (silent corruption, wrong message or state).
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  // Outcomes, then runs, then runs that programmed outside the region being written.
  using Counts = std::array<int, kOutcomeCount + 2>;
  std::array<Counts, kFaultClassCount> counts_{};
  std::vector<std::string> problems_;
  std::vector<double> sessionMs_;
  int retried_ = 0;
  int retriedMoreThanOnce_ = 0;
};

// "seed 7: ...: update: verify", with the reason when the run went wrong.
std::string Describe(const RunResult& result);

}  // namespace tlx::campaign
