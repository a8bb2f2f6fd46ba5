// Counts of outcomes per fault class, and the table the campaign prints.
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
  // Per fault class and for all: outcomes, runs, runs that programmed outside the region.
  std::array<std::array<int, kOutcomeCount + 2>, kFaultClassCount + 1> rows_{};
  std::vector<std::string> problems_;
  std::vector<double> sessionMs_;
  int retried_ = 0;
  int retriedMoreThanOnce_ = 0;
};

// "seed 7: ...: update: verify", with the reason when the run went wrong.
std::string Describe(const RunResult& result);

}  // namespace tlx::campaign
