// The fault campaign: whole user sessions through the window logic against the simulated
// board under seeded random faults, each judged from the board's trace. Prints a table of
// outcomes per fault kind; exits 1 on any silent corruption or wrong message or state.
//
//   fault_campaign [--runs N] [--first-seed S] [--each-run]
//
// --each-run prints every run's plan and outcome, so one seed can be looked at alone.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tally.h"
#include "watchdog.h"

namespace {

struct Options {
  std::uint64_t runs = 1000;
  std::uint64_t firstSeed = 1;
  bool eachRun = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--each-run") {
      options.eachRun = true;
      continue;
    }
    if (i + 1 == argc) return false;
    char* end = nullptr;
    const std::uint64_t value = std::strtoull(argv[++i], &end, 10);
    if (end == argv[i] || *end != '\0') return false;
    if (name == "--runs") {
      options.runs = value;
    } else if (name == "--first-seed") {
      options.firstSeed = value;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: fault_campaign [--runs N] [--first-seed S] [--each-run]\n");
    return 2;
  }
  tlx::campaign::Tally tally;
  tlx::campaign::Watchdog watchdog;
  for (std::uint64_t seed = options.firstSeed; seed < options.firstSeed + options.runs; ++seed) {
    watchdog.Starting(seed);
    const tlx::campaign::RunResult result = tlx::campaign::RunOne(seed);
    if (options.eachRun) std::printf("%s\n", tlx::campaign::Describe(result).c_str());
    tally.Add(result);
  }
  std::printf("%s", tally.Table().c_str());
  std::fflush(stdout);
  for (const std::string& problem : tally.Problems()) std::fprintf(stderr, "%s\n", problem.c_str());
  return tally.Problems().empty() ? 0 : 1;
}
