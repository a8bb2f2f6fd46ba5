#include "tally.h"

#include <algorithm>
#include <cstdio>

namespace tlx::campaign {
namespace {

constexpr std::size_t kRuns = kOutcomeCount;
constexpr std::size_t kProgrammedOutside = kOutcomeCount + 1;
constexpr std::array<const char*, kOutcomeCount> kOutcomeNames{
    "success",        "refused at start-up", "USB error in check", "update: communication",
    "update: verify", "update: bootloader",  "silent corruption",  "wrong message or state"};

}  // namespace

std::string Describe(const RunResult& result) {
  std::string line = Describe(result.plan) + ": " +
                     kOutcomeNames[static_cast<std::size_t>(result.verdict.outcome)];
  if (!result.verdict.detail.empty()) line += " (" + result.verdict.detail + ")";
  if (result.furtherAttempts > 0)
    line += ", further attempts: " + std::to_string(result.furtherAttempts);
  if (result.programmedOutside) line += ", programmed outside the region being written";
  return line;
}

void Tally::Add(const RunResult& result) {
  for (auto* row : {&rows_[static_cast<std::size_t>(result.plan.faultClass)], &rows_.back()}) {
    ++(*row)[static_cast<std::size_t>(result.verdict.outcome)];
    ++(*row)[kRuns];
    (*row)[kProgrammedOutside] += result.programmedOutside ? 1 : 0;
  }
  sessionMs_.push_back(result.sessionMs);
  retried_ += result.furtherAttempts > 0 ? 1 : 0;
  retriedMoreThanOnce_ += result.furtherAttempts > 1 ? 1 : 0;
  if (result.verdict.outcome == Outcome::SilentCorruption ||
      result.verdict.outcome == Outcome::WrongMessage)
    problems_.push_back(Describe(result));
}

std::string Tally::Table() const {
  std::string table = "| fault kind | runs";
  for (const char* name : kOutcomeNames) table += std::string(" | ") + name;
  table += " | programmed outside the region |\n|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n";
  for (std::size_t faultClass = 0; faultClass < rows_.size(); ++faultClass) {
    const auto& row = rows_[faultClass];
    if (row[kRuns] == 0) continue;
    const bool all = faultClass == kFaultClassCount;
    table += std::string("| ") +
             (all ? "**all**" : FaultClassName(static_cast<FaultClass>(faultClass))) + " | " +
             std::to_string(row[kRuns]);
    for (std::size_t outcome = 0; outcome < kOutcomeNames.size(); ++outcome)
      table += " | " + std::to_string(row[outcome]);
    table += " | " + std::to_string(row[kProgrammedOutside]) + " |\n";
  }
  if (sessionMs_.empty()) return table;
  std::vector<double> sorted = sessionMs_;
  std::ranges::sort(sorted);
  char figures[300];
  std::snprintf(figures, sizeof figures,
                "\nVirtual time per session: median %.2f s, longest %.2f s (bound %.2f s). Runs "
                "with further attempts on a healthy board after a reported failure: %d, of which "
                "%d needed more than one.\n",
                sorted[sorted.size() / 2] / 1000, sorted.back() / 1000, kSessionBoundMs / 1000,
                retried_, retriedMoreThanOnce_);
  return table + figures;
}

}  // namespace tlx::campaign
