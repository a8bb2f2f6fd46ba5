// Decoding and encoding of the .fwu container. Each group is one data byte and three fillers;
// the fillers' sum is the group's key byte, and the running key carries every earlier key
// byte forward, so a container can only be read from its first group onwards.
#include "image/fwu_codec.h"

#include <chrono>
#include <cmath>
#include <random>

namespace tlx {
namespace {

std::uint8_t KeyByte(std::uint8_t filler1, std::uint8_t filler2, std::uint8_t filler3) {
  return static_cast<std::uint8_t>(filler1 + filler2 + filler3);
}

// floor(u * 255 + 1) lies in 1 to 255 for u in [0, 1). A source that strays outside that
// range (1.0, a negative value, NaN) is held to the same bounds rather than wrapping to 0.
std::uint8_t FillerFrom(double u) {
  const double filler = std::floor(u * 255.0 + 1.0);
  if (!(filler >= 1.0)) {
    return 1;
  }
  if (filler > 255.0) {
    return 255;
  }
  return static_cast<std::uint8_t>(filler);
}

}  // namespace

void DecodeContainer(std::span<const std::uint8_t, kContainerSize> container,
                     std::span<std::uint8_t, kImageBytes> image) {
  std::uint8_t runningKey = kInitialKey;
  for (std::size_t j = 0, p = 0; j < kImageBytes; ++j, p += kGroupSize) {
    const std::uint8_t key = KeyByte(container[p + 1], container[p + 2], container[p + 3]);
    image[j] = static_cast<std::uint8_t>(container[p] ^ runningKey ^ key);
    runningKey = static_cast<std::uint8_t>(runningKey + key);
  }
}

void EncodeContainer(std::span<const std::uint8_t, kImageBytes> image,
                     std::span<std::uint8_t, kContainerSize> container,
                     const UniformSource& uniform) {
  std::uint8_t runningKey = kInitialKey;
  for (std::size_t j = 0, p = 0; j < kImageBytes; ++j, p += kGroupSize) {
    // Drawn in filler order, so a given source always yields the same container.
    container[p + 1] = FillerFrom(uniform());
    container[p + 2] = FillerFrom(uniform());
    container[p + 3] = FillerFrom(uniform());
    const std::uint8_t key = KeyByte(container[p + 1], container[p + 2], container[p + 3]);
    container[p] = static_cast<std::uint8_t>(image[j] ^ runningKey ^ key);
    runningKey = static_cast<std::uint8_t>(runningKey + key);
  }
}

UniformSource ClockSeededUniform() {
  const auto seed =
      static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  // The top 53 bits of a 64-bit draw scaled by 2^-53: uniform in [0, 1), exactly, so the
  // value can never round up to 1.0.
  return [generator = std::mt19937_64(seed)]() mutable {
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
  };
}

}  // namespace tlx
