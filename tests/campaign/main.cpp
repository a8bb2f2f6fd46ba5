// The fault campaign: whole user sessions through the window logic against the simulated
// board under seeded random faults, each judged from the board's trace. Prints a table of
// outcomes per fault kind; exits 1 on any silent corruption or wrong message or state.
//
//   fault_campaign [--runs N] [--first-seed S] [--each-run]
//
// --each-run prints every run's plan and outcome, so one seed can be looked at alone.
#include <CLI/CLI.hpp>

#include <unistd.h>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tally.h"

namespace {

// A run takes milliseconds; even under the sanitizers a minute means a loop that never ends.
// The campaign then ends naming the seed instead of hanging without a word.
constexpr unsigned kPatienceSeconds = 60;
char stuckNotice[80];

extern "C" void OnStuck(int) {
  [[maybe_unused]] const ssize_t written =
      write(STDERR_FILENO, stuckNotice, std::strlen(stuckNotice));
  _exit(3);
}

}  // namespace

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

  std::signal(SIGALRM, OnStuck);
  tlx::campaign::Tally tally;
  for (std::uint64_t seed = firstSeed; seed < firstSeed + runs; ++seed) {
    std::snprintf(stuckNotice, sizeof stuckNotice, "run with seed %llu made no progress\n",
                  static_cast<unsigned long long>(seed));
    alarm(kPatienceSeconds);
    const tlx::campaign::RunResult result = tlx::campaign::RunOne(seed);
    if (eachRun) std::printf("%s\n", tlx::campaign::Describe(result).c_str());
    tally.Add(result);
  }
  alarm(0);
  std::printf("%s", tally.Table().c_str());
  std::fflush(stdout);
  for (const std::string& problem : tally.Problems()) std::fprintf(stderr, "%s\n", problem.c_str());
  return tally.Problems().empty() ? 0 : 1;
}
