#include "image/fwu_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace tlx {
namespace {

using Container = std::vector<std::uint8_t>;
using Image = std::vector<std::uint8_t>;

Image Decode(const Container& container) {
  Image image(kImageSize);
  DecodeContainer(std::span<const std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  std::span<std::uint8_t, kImageSize>(image.data(), kImageSize));
  return image;
}

Container Encode(const Image& image, const UniformSource& uniform) {
  Container container(kContainerSize);
  EncodeContainer(std::span<const std::uint8_t, kImageSize>(image.data(), kImageSize),
                  std::span<std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  uniform);
  return container;
}

Image RandomImage(unsigned seed) {
  std::mt19937 generator(seed);
  Image image(kImageSize);
  std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(generator()); });
  return image;
}

UniformSource SeededUniform(unsigned seed) {
  return [generator = std::mt19937(seed)]() mutable {
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
  };
}

// Hands out the given fillers in order (u chosen mid-step so floor(u * 255 + 1) is exact),
// then fillers of 1 for the rest of the container.
UniformSource ScriptedFillers(std::vector<std::uint8_t> fillers) {
  return [fillers = std::move(fillers), next = std::size_t{0}]() mutable {
    const std::uint8_t filler = next < fillers.size() ? fillers[next++] : 1;
    return (filler - 0.5) / 255.0;
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

TEST(FwuCodecTest, DecodesTheHandComputedGroupsByteByByte) {
  Container container(kContainerSize, 0);
  std::copy(kHandContainer.begin(), kHandContainer.end(), container.begin());
  const Image image = Decode(container);
  for (std::size_t j = 0; j < kHandImage.size(); ++j) {
    EXPECT_EQ(image[j], kHandImage[j]) << "image byte " << j;
  }
  EXPECT_TRUE(std::all_of(image.begin() + kHandImage.size(), image.end(),
                          [](std::uint8_t byte) { return byte == 0x02; }));
}

TEST(FwuCodecTest, EncodesTheHandComputedGroupsByteByByte) {
  Image image(kImageSize, 0);
  std::copy(kHandImage.begin(), kHandImage.end(), image.begin());
  std::vector<std::uint8_t> fillers;
  for (std::size_t p = 0; p < kHandContainer.size(); p += kGroupSize) {
    fillers.insert(fillers.end(), kHandContainer.begin() + p + 1, kHandContainer.begin() + p + 4);
  }
  const Container container = Encode(image, ScriptedFillers(fillers));
  for (std::size_t i = 0; i < kHandContainer.size(); ++i) {
    EXPECT_EQ(container[i], kHandContainer[i]) << "container byte " << i;
  }
}

class FwuRoundTripTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(FwuRoundTripTest, DecodingAnEncodingGivesTheImageBack) {
  const Image image = RandomImage(GetParam());
  EXPECT_EQ(Decode(Encode(image, SeededUniform(GetParam() + 1))), image);
}

INSTANTIATE_TEST_SUITE_P(Seeds, FwuRoundTripTest, ::testing::Values(1u, 2u, 3u, 4u));

TEST(FwuCodecTest, EncodingsWithDifferentFillersDecodeAlike) {
  const Image image = RandomImage(7);
  const Container first = Encode(image, SeededUniform(100));
  const Container second = Encode(image, SeededUniform(200));
  ASSERT_NE(first, second);
  EXPECT_EQ(Decode(first), image);
  EXPECT_EQ(Decode(second), image);
}

TEST(FwuCodecTest, DecodesAContainerWhoseFillersAreAllZero) {
  const Image image = RandomImage(9);
  Container container(kContainerSize, 0);
  for (std::size_t j = 0; j < kImageSize; ++j) {
    container[j * kGroupSize] = image[j] ^ kInitialKey;  // zero fillers: the key never moves
  }
  EXPECT_EQ(Decode(container), image);
}

struct FillerEdit {
  std::size_t group;
  std::uint8_t delta1;  // added to filler 1
  std::uint8_t delta2;  // added to filler 2
  bool keySumKept;
};

void PrintTo(const FillerEdit& e, std::ostream* os) {
  *os << "group " << e.group << " fillers +" << int{e.delta1} << " +" << int{e.delta2};
}

class FillerEditTest : public ::testing::TestWithParam<FillerEdit> {};

TEST_P(FillerEditTest, ChangesImageByteJAndEveryLaterByteUnlessTheKeyByteIsKept) {
  const FillerEdit edit = GetParam();
  Container container = Encode(RandomImage(11), SeededUniform(12));
  const Image before = Decode(container);
  const std::size_t p = edit.group * kGroupSize;
  container[p + 1] = static_cast<std::uint8_t>(container[p + 1] + edit.delta1);
  container[p + 2] = static_cast<std::uint8_t>(container[p + 2] + edit.delta2);
  const Image after = Decode(container);

  for (std::size_t j = 0; j < kImageSize; ++j) {
    const bool shouldChange = j >= edit.group && !edit.keySumKept;
    ASSERT_EQ(after[j] != before[j], shouldChange) << "image byte " << j;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, FillerEditTest,
    ::testing::Values(FillerEdit{0, 1, 0, false}, FillerEdit{0, 0, 0x80, false},
                      FillerEdit{4, 0xFF, 0, false}, FillerEdit{30000, 0, 1, false},
                      FillerEdit{kImageSize - 1, 0x10, 0, false}, FillerEdit{0, 5, 0xFB, true},
                      FillerEdit{30000, 0x80, 0x80, true},
                      FillerEdit{kImageSize - 1, 1, 0xFF, true}));

class DataByteEditTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(DataByteEditTest, ChangesImageByteJOnly) {
  const std::size_t group = GetParam();
  Container container = Encode(RandomImage(13), SeededUniform(14));
  Image expected = Decode(container);
  container[group * kGroupSize] ^= 0x5A;
  expected[group] ^= 0x5A;
  EXPECT_EQ(Decode(container), expected);
}

INSTANTIATE_TEST_SUITE_P(Groups, DataByteEditTest,
                         ::testing::Values(std::size_t{0}, std::size_t{7}, std::size_t{40000},
                                           kImageSize - 1));

struct FillerCase {
  double u;
  std::uint8_t filler;
};

void PrintTo(const FillerCase& c, std::ostream* os) {
  *os << "u " << c.u;
}

class FillerRangeTest : public ::testing::TestWithParam<FillerCase> {};

TEST_P(FillerRangeTest, EveryFillerIsFloorOfU255PlusOneHeldTo1To255) {
  const FillerCase c = GetParam();
  const Container container = Encode(RandomImage(15), [u = c.u] { return u; });
  for (std::size_t p = 0; p < kContainerSize; p += kGroupSize) {
    ASSERT_EQ(container[p + 1], c.filler) << "group " << p / kGroupSize;
    ASSERT_EQ(container[p + 2], c.filler) << "group " << p / kGroupSize;
    ASSERT_EQ(container[p + 3], c.filler) << "group " << p / kGroupSize;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Uniforms, FillerRangeTest,
    ::testing::Values(FillerCase{0.0, 1}, FillerCase{0.5, 128}, FillerCase{2.5 / 255.0, 3},
                      FillerCase{std::nextafter(1.0, 0.0), 255},
                      // A faulty source must not produce the 0 the format never emits.
                      FillerCase{1.0, 255}, FillerCase{-0.25, 1},
                      FillerCase{std::numeric_limits<double>::quiet_NaN(), 1}));

TEST(FwuCodecTest, ClockSeededUniformStaysBelowOne) {
  const UniformSource uniform = ClockSeededUniform();
  for (int i = 0; i < 100000; ++i) {
    const double u = uniform();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
  }
}

}  // namespace
}  // namespace tlx
