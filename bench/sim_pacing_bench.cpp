// Real time of a whole-flash write and read-back over the simulated board against the time
// its pacing model expects. In the realistic pace the two should agree within a few per
// cent; in the instant pace the same model time passes in almost no real time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "link/tlx_module.h"
#include "sim/simulated_board.h"

namespace {

constexpr std::int32_t kBlocks = 32;
constexpr std::int32_t kEntriesPerBlock = 512;

void WriteAndReadBack(tlx::TLXModule& link) {
  link.BlockCount = kEntriesPerBlock;
  for (bool reading : {false, true}) {
    for (std::int32_t block = 0; block < kBlocks; ++block) {
      link.FlashAddress = block * kEntriesPerBlock * 2;
      link.ImageOffset = 8 + block * kEntriesPerBlock * 4;
      link.PurgeLink();
      if (reading) {
        link.ReadFlashBlock();
      } else {
        link.WriteFlashBlock();
      }
    }
  }
}

void WholeFlash(benchmark::State& state, tlx::sim::Pace pace) {
  std::vector<std::uint8_t> image(65544, 0x5A);
  double modelMs = 0;
  for (auto _ : state) {
    tlx::sim::SimulatedBoard board({}, pace);
    tlx::TLXModule link(board.Port(), image);
    link.OpenDevice();
    WriteAndReadBack(link);
    link.CloseDevice();
    modelMs = board.ModelMilliseconds();
  }
  state.counters["model_ms"] = modelMs;
}

void BM_WholeFlashRealistic(benchmark::State& state) {
  WholeFlash(state, tlx::sim::Pace::Realistic);
}
void BM_WholeFlashInstant(benchmark::State& state) {
  WholeFlash(state, tlx::sim::Pace::Instant);
}

BENCHMARK(BM_WholeFlashRealistic)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WholeFlashInstant)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
