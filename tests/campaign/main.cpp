// The fault campaign: whole user sessions through the window logic against the simulated
// board under seeded random faults, each judged from the board's trace. Prints a table of
// outcomes per fault kind; exits 1 on any silent corruption or wrong message or state.
//
//   fault_campaign [--runs N] [--first-seed S] [--each-run]
//
// --each-run prints every run's plan and outcome, so one seed can be looked at alone.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tally.h"
#include "watchdog.h"

int main(int argc, char** argv) {
  std::uint64_t runs = 1000;
  std::uint64_t firstSeed = 1;
  bool eachRun = false;
  CLI::App app("Plays user sessions against the simulated board under seeded random faults.",
               "fault_campaign");
  app.add_option("--runs", runs, "Sessions to play")->capture_default_str();
  app.add_option("--first-seed", firstSeed, "Seed of the first session")->capture_default_str();
  app.add_flag("--each-run", eachRun, "Print every run's plan and outcome");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  }

  tlx::campaign::Tally tally;
  tlx::campaign::Watchdog watchdog;
  for (std::uint64_t seed = firstSeed; seed < firstSeed + runs; ++seed) {
    watchdog.Starting(seed);
    const tlx::campaign::RunResult result = tlx::campaign::RunOne(seed);
    if (eachRun) std::printf("%s\n", tlx::campaign::Describe(result).c_str());
    tally.Add(result);
  }
  std::printf("%s", tally.Table().c_str());
  std::fflush(stdout);
  for (const std::string& problem : tally.Problems()) std::fprintf(stderr, "%s\n", problem.c_str());
  return tally.Problems().empty() ? 0 : 1;
}
