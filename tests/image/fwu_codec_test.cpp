#include "image/fwu_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "image/firmware_image.h"

namespace tlx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decode(const Bytes& container) {
  Bytes image(kImageBytes);
  DecodeContainer(std::span<const std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  std::span<std::uint8_t, kImageBytes>(image.data(), kImageBytes));
  return image;
}

Bytes Encode(const Bytes& image, const UniformSource& uniform) {
  Bytes container(kContainerSize);
  EncodeContainer(std::span<const std::uint8_t, kImageBytes>(image.data(), kImageBytes),
                  std::span<std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  uniform);
  return container;
}

Bytes RandomImage(unsigned seed) {
  std::mt19937 generator(seed);
  Bytes image(kImageBytes);
  std::ranges::generate(image, [&] { return static_cast<std::uint8_t>(generator()); });
  return image;
}

// Hands out the given fillers in order (u mid-step, so floor(u * 255 + 1) is exact), then 1s.
UniformSource ScriptedFillers(Bytes fillers) {
  return [fillers = std::move(fillers), next = std::size_t{0}]() mutable {
    return ((next < fillers.size() ? fillers[next++] : 1) - 0.5) / 255.0;
  };
}

// Worked by hand from the published algorithm, starting from the running key 0x9B:
//   group  image  fillers         key   running key  data = image ^ running ^ key
//   0      0x46   01 02 03        0x06  0x9B         0xDB
//   1      0x57   FF FF FF        0xFD  0xA1         0x0B   (sum 0x2FD wraps)
//   2      0x00   80 80 01        0x01  0x9E         0x9F   (0x9B + 0x06 + 0xFD wraps)
//   3      0x13   10 20 30        0x60  0x9F         0xEC
//   4      0x00   01 01 01        0x03  0xFF         0xFC
//   5      0x01   7F 7F 02        0x00  0x02         0x03   (0xFF + 0x03 wraps)
// After group 5 the running key is 0x02, so all-zero groups beyond decode to 0x02.
constexpr std::array<std::uint8_t, 6> kHandImage = {0x46, 0x57, 0x00, 0x13, 0x00, 0x01};
constexpr std::array<std::uint8_t, 24> kHandContainer = {
    0xDB, 0x01, 0x02, 0x03, 0x0B, 0xFF, 0xFF, 0xFF, 0x9F, 0x80, 0x80, 0x01,
    0xEC, 0x10, 0x20, 0x30, 0xFC, 0x01, 0x01, 0x01, 0x03, 0x7F, 0x7F, 0x02};

TEST(FwuCodecTest, DecodesAndEncodesTheHandComputedGroupsByteByByte) {
  Bytes container(kContainerSize, 0);
  std::ranges::copy(kHandContainer, container.begin());
  const Bytes image = Decode(container);
  for (std::size_t j = 0; j < kImageBytes; ++j) {
    ASSERT_EQ(image[j], j < kHandImage.size() ? kHandImage[j] : 0x02) << "image byte " << j;
  }

  Bytes fillers;
  for (std::size_t p = 0; p < kHandContainer.size(); p += kGroupSize) {
    fillers.insert(fillers.end(), kHandContainer.begin() + p + 1, kHandContainer.begin() + p + 4);
  }
  const Bytes encoded = Encode(image, ScriptedFillers(fillers));
  for (std::size_t i = 0; i < kHandContainer.size(); ++i) {
    EXPECT_EQ(encoded[i], kHandContainer[i]) << "container byte " << i;
  }
}

TEST(FwuCodecTest, EveryFillerIsFloorOfU255PlusOneHeldTo1To255) {
  // A faulty source (1, below 0, NaN) must not produce the 0 the format never emits.
  const std::pair<double, std::uint8_t> cases[] = {{0.0, 1},
                                                   {0.5, 128},
                                                   {2.5 / 255.0, 3},
                                                   {std::nextafter(1.0, 0.0), 255},
                                                   {1.0, 255},
                                                   {-0.25, 1},
                                                   {std::numeric_limits<double>::quiet_NaN(), 1}};
  for (const auto& [u, filler] : cases) {
    const Bytes container = Encode(RandomImage(15), [u = u] { return u; });
    for (std::size_t p = 0; p < kContainerSize; p += kGroupSize) {
      for (std::size_t k = 1; k < kGroupSize; ++k) {
        ASSERT_EQ(container[p + k], filler) << "u " << u << ", byte " << p + k;
      }
    }
  }
}

}  // namespace
}  // namespace tlx
