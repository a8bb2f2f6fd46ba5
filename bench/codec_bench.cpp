// Decoding and encoding one .fwu container, beside a memcpy of the container's bytes: the
// codec reads every byte once, so memcpy is the speed it cannot beat.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/fwu_codec.h"

namespace {

using tlx::kContainerSize;
using tlx::kImageBytes;

std::vector<std::uint8_t> RandomContainer() {
  std::vector<std::uint8_t> container(kContainerSize);
  std::mt19937 generator(42);
  for (std::uint8_t& byte : container) {
    byte = static_cast<std::uint8_t>(generator());
  }
  return container;
}

void BM_Decode(benchmark::State& state) {
  const std::vector<std::uint8_t> container = RandomContainer();
  std::vector<std::uint8_t> image(kImageBytes);
  for (auto _ : state) {
    tlx::DecodeContainer(
        std::span<const std::uint8_t, kContainerSize>(container.data(), kContainerSize),
        std::span<std::uint8_t, kImageBytes>(image.data(), kImageBytes));
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kContainerSize));
}
BENCHMARK(BM_Decode);

void BM_Encode(benchmark::State& state) {
  const std::vector<std::uint8_t> image(kImageBytes, 0x5A);
  std::vector<std::uint8_t> container(kContainerSize);
  const tlx::UniformSource uniform = tlx::ClockSeededUniform();
  for (auto _ : state) {
    tlx::EncodeContainer(std::span<const std::uint8_t, kImageBytes>(image.data(), kImageBytes),
                         std::span<std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                         uniform);
    benchmark::DoNotOptimize(container.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kContainerSize));
}
BENCHMARK(BM_Encode);

void BM_MemcpyContainer(benchmark::State& state) {
  const std::vector<std::uint8_t> source = RandomContainer();
  std::vector<std::uint8_t> target(kContainerSize);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kContainerSize);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kContainerSize));
}
BENCHMARK(BM_MemcpyContainer);

}  // namespace
