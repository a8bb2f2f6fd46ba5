// One whole update of a board running firmware 1.1 (all four regions and both "EX"
// brackets) against the simulated board. Instant pace: the CPU time of the update itself.
// Realistic pace: the real elapsed time over the time the board's pacing model expects for
// the same calls, which shows what the program adds on top of the cable and the flash.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "flash/update_engine.h"
#include "link/tlx_module.h"
#include "sim/simulated_board.h"

namespace tlx {
namespace {

// The engine's view of a window that shows and keeps nothing.
class QuietWindow : public UpdateWindow, public UpdateJournal {
 public:
  void ShowFlashing() override {}
  void ShowProgress(int, int) override {}
  void ShowFailure(const UpdateFailure&) override {}
  void DoEvents() override {}
  void RegionPassEnded(const RegionPassRecord&) override {}
  void ReadBackDiffered(const ReadBackDifference&) override {}
};

struct UpdateRig {
  explicit UpdateRig(sim::Pace pace)
      : board(sim::BoardConfig{.hardwareByte = 0x21, .firmwareByte = 0x11}, pace),
        link(board.Port(), image),
        engine(link, window, window, image, imageCopy, failureFlag) {
    std::mt19937 random(7);
    std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(random()); });
    link.OpenDevice();
    link.QueryStatus();
  }

  sim::SimulatedBoard board;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(65544);
  std::vector<std::uint8_t> imageCopy = std::vector<std::uint8_t>(65544);
  std::int16_t failureFlag = 0;
  QuietWindow window;
  TLXModule link;
  UpdateEngine engine;
};

void BM_UpdateInstant(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    UpdateRig rig(sim::Pace::Instant);
    state.ResumeTiming();
    rig.engine.FlashDevice();
    if (rig.failureFlag != 0) state.SkipWithError("the update failed");
  }
}
BENCHMARK(BM_UpdateInstant)->Unit(benchmark::kMillisecond);

void BM_UpdateRealistic(benchmark::State& state) {
  double elapsedMs = 0;
  double modelMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    UpdateRig rig(sim::Pace::Realistic);
    const double modelBefore = rig.board.ModelMilliseconds();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    rig.engine.FlashDevice();
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    elapsedMs += elapsed.count();
    modelMs += rig.board.ModelMilliseconds() - modelBefore;
    if (rig.failureFlag != 0) state.SkipWithError("the update failed");
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["model_ms"] = modelMs / runs;
  state.counters["elapsed_over_model"] = modelMs > 0 ? elapsedMs / modelMs : 0;
}
BENCHMARK(BM_UpdateRealistic)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace tlx

BENCHMARK_MAIN();
