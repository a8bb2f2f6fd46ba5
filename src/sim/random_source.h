// A small seeded generator (SplitMix64) whose sequence is the same on every platform and
// standard library, so a seed names one exact run of random faults.
#pragma once

#include <cstdint>

namespace tlx::sim {

class RandomSource {
 public:
  explicit RandomSource(std::uint64_t seed = 0) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  // Uniform in [0, bound); bound must be positive.
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
  bool Chance(double probability) { return probability > 0 && Unit() < probability; }

 private:
  std::uint64_t state_;
};

}  // namespace tlx::sim
