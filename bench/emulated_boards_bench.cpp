// tlx-update updating several boards at once on the emulated USB bus, through the real
// libftdi1 and libusb with a library context per board: the elapsed time of the run against
// one board alone, the processor time of tlx-update and of the emulated bridges (which answer
// in this process), and the USB requests each board's update took, counted by its bridge.
// Prints one row per number of boards, the elapsed time the median of the runs.
//
//   emulated_boards_bench TLX_UPDATE [--runs R] [--boards 1,8]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "board_runs.h"
#include "emulate/emulated_bus.h"
#include "firmware_files.h"

namespace {

using namespace tlx;

struct Sample {
  double elapsedMs = 0;
  double programCpuMs = 0;  // tlx-update's processor time
  double bridgesCpuMs = 0;  // this process's: the emulated bridges answering
  double requestsPerBoard = 0;
  int exitCode = -1;
};

double CpuMs(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto ms = [](const timeval& time) { return time.tv_sec * 1000.0 + time.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

Sample RunOnce(const std::string& program, int boards) {
  emulate::EmulatedBus bus;
  test::TempFolder work;
  test::WriteFirmware(work / "TLX.fwu", {.version = 0x20});
  std::vector<emulate::EmulatedBridge*> bridges;
  for (int board = 1; board <= boards; ++board)
    bridges.push_back(&bus.Plug({.serial = "LINE-" + std::to_string(board)}));
  const double childrenBefore = CpuMs(RUSAGE_CHILDREN), selfBefore = CpuMs(RUSAGE_SELF);
  const auto start = std::chrono::steady_clock::now();
  const emulate::ChildOutcome run =
      bus.Run({{program, "--all", "--yes", "--json"}, work.Path(), {}, true});
  Sample sample;
  sample.elapsedMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  sample.programCpuMs = CpuMs(RUSAGE_CHILDREN) - childrenBefore;
  sample.bridgesCpuMs = CpuMs(RUSAGE_SELF) - selfBefore;
  sample.exitCode = run.exitCode;
  for (const emulate::EmulatedBridge* bridge : bridges) {
    const emulate::BridgeReport report = bridge->Report();
    sample.requestsPerBoard += report.controlUrbs + report.bulkOutUrbs + report.bulkInUrbs;
  }
  sample.requestsPerBoard /= boards;
  return sample;
}

}  // namespace

int main(int argc, char** argv) {
  if (!emulate::ReexecPreloaded(argv)) return 1;
  if (argc < 2) {
    std::fprintf(stderr, "usage: emulated_boards_bench TLX_UPDATE [--runs R] [--boards 1,8]\n");
    return 2;
  }
  // The run starts in a folder of its own.
  const std::string program = std::filesystem::absolute(argv[1]).string();
  const auto [runs, counts] = bench::ParseBoardRuns(argc, argv, {1, 8});
  std::printf("%6s %12s %10s %14s %14s %18s\n", "boards", "elapsed ms", "÷ one", "program CPU ms",
              "bridges CPU ms", "USB requests/board");
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
    const double median = bench::Median(elapsed);
    if (boards == counts.front()) one = median;
    std::printf("%6d %12.0f %10.3f %14.0f %14.0f %18.1f%s\n", boards, median, median / one,
                last.programCpuMs, last.bridgesCpuMs, last.requestsPerBoard,
                last.exitCode == 0 ? "" : "  (a run failed)");
  }
  return failures == 0 ? 0 : 1;
}
