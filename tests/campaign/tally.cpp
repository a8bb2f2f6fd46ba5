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

std::string Row(const std::string& name, const std::array<int, kOutcomeCount + 2>& counts) {
  std::string row = "| " + name + " | " + std::to_string(counts[kRuns]);
  for (int outcome = 0; outcome < kOutcomeCount; ++outcome)
    row += " | " + std::to_string(counts[static_cast<std::size_t>(outcome)]);
  return row + " | " + std::to_string(counts[kProgrammedOutside]) + " |\n";
}

std::string Seconds(double milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", milliseconds / 1000);
  return text;
}

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
  Counts& counts = counts_[static_cast<std::size_t>(result.plan.faultClass)];
  ++counts[static_cast<std::size_t>(result.verdict.outcome)];
  ++counts[kRuns];
  if (result.programmedOutside) ++counts[kProgrammedOutside];
  sessionMs_.push_back(result.sessionMs);
  if (result.furtherAttempts > 0) ++retried_;
  if (result.furtherAttempts > 1) ++retriedMoreThanOnce_;
  const bool wrong = result.verdict.outcome == Outcome::SilentCorruption ||
                     result.verdict.outcome == Outcome::WrongMessage;
  if (wrong) problems_.push_back(Describe(result));
}

std::string Tally::Table() const {
  std::string table = "| fault kind | runs";
  for (const char* name : kOutcomeNames) table += std::string(" | ") + name;
  table += " | programmed outside the region |\n|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n";
  Counts total{};
  for (int faultClass = 0; faultClass < kFaultClassCount; ++faultClass) {
    const Counts& counts = counts_[static_cast<std::size_t>(faultClass)];
    if (counts[kRuns] == 0) continue;
    table += Row(FaultClassName(static_cast<FaultClass>(faultClass)), counts);
    for (std::size_t i = 0; i < total.size(); ++i) total[i] += counts[i];
  }
  table += Row("**all**", total);
  if (sessionMs_.empty()) return table;

  std::vector<double> sorted = sessionMs_;
  std::ranges::sort(sorted);
  table += "\nVirtual time per session: median " + Seconds(sorted[sorted.size() / 2]) +
           ", longest " + Seconds(sorted.back()) + " (bound " + Seconds(kSessionBoundMs) +
           "). Runs with further attempts on a healthy board after a reported failure: " +
           std::to_string(retried_) + ", of which " + std::to_string(retriedMoreThanOnce_) +
           " needed more than one.\n";
  return table;
}

}  // namespace tlx::campaign
