// tlx-update updating several boards at once on the emulated USB bus, through the real
// libftdi1 and libusb with a library context per board: the elapsed time of the run against
// one board alone, and the USB requests each board's update took, counted by its bridge.
// Prints one row per number of boards, the elapsed time the median of the runs.
//
//   emulated_boards_bench TLX_UPDATE [--runs R] [--boards 1,8]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "emulate/emulated_bus.h"
#include "firmware_files.h"

namespace {

using namespace tlx;

struct Sample {
  double elapsedMs = 0;
  double requestsPerBoard = 0;
  int exitCode = -1;
};

Sample RunOnce(const std::string& program, int boards) {
  emulate::EmulatedBus bus;
  test::TempFolder work;
  test::WriteFirmware(work / "TLX.fwu", {.version = 0x20});
  std::vector<emulate::EmulatedBridge*> bridges;
  for (int board = 1; board <= boards; ++board)
    bridges.push_back(&bus.Plug({.serial = "LINE-" + std::to_string(board)}));
  const auto start = std::chrono::steady_clock::now();
  const emulate::ChildOutcome run =
      bus.Run({{program, "--all", "--yes", "--json"}, work.Path(), {}, true});
  Sample sample;
  sample.elapsedMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  sample.exitCode = run.exitCode;
  for (const emulate::EmulatedBridge* bridge : bridges) {
    const emulate::BridgeReport report = bridge->Report();
    sample.requestsPerBoard += report.controlUrbs + report.bulkOutUrbs + report.bulkInUrbs;
  }
  sample.requestsPerBoard /= boards;
  return sample;
}

std::vector<int> ParseCounts(const std::string& text) {
  std::vector<int> counts;
  std::istringstream list(text);
  for (std::string item; std::getline(list, item, ',');) counts.push_back(std::stoi(item));
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  if (!emulate::ReexecPreloaded(argv)) return 1;
  if (argc < 2) {
    std::fprintf(stderr, "usage: emulated_boards_bench TLX_UPDATE [--runs R] [--boards 1,8]\n");
    return 2;
  }
  const std::string program = argv[1];
  int runs = 5;
  std::vector<int> counts{1, 8};
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--runs") runs = std::atoi(argv[i + 1]);
    if (option == "--boards") counts = ParseCounts(argv[i + 1]);
  }
  std::printf("%6s %12s %10s %18s\n", "boards", "elapsed ms", "÷ one", "USB requests/board");
  double one = 0;
  int failures = 0;
  for (const int boards : counts) {
    std::vector<double> elapsed;
    Sample last;
    for (int run = 0; run < runs; ++run) {
      last = RunOnce(program, boards);
      elapsed.push_back(last.elapsedMs);
      if (last.exitCode != 0) ++failures;
    }
    std::ranges::sort(elapsed);
    const double median = elapsed[elapsed.size() / 2];
    if (boards == counts.front()) one = median;
    std::printf("%6d %12.0f %10.3f %18.1f\n", boards, median, median / one, last.requestsPerBoard);
  }
  return failures == 0 ? 0 : 1;
}
