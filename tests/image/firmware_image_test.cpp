#include "image/firmware_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/fwu_codec.h"

namespace tlx {
namespace {

struct HeaderCase {
  const char* name;
  std::vector<std::uint8_t> header;  // the image's first bytes; the rest is payload
  bool accepted;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
  *os << c.name;
}

class HeaderAcceptanceTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderAcceptanceTest, LooksOnlyAtTheSignatureAndByte4) {
  const HeaderCase& c = GetParam();
  std::vector<std::uint8_t> image(kImageSize, 0xA5);
  std::copy(c.header.begin(), c.header.end(), image.begin());
  EXPECT_EQ(HeaderAccepted(std::span<const std::uint8_t, kImageSize>(image.data(), kImageSize)),
            c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderAcceptanceTest,
    ::testing::Values(
        HeaderCase{"Plain", {'F', 'W', 0x00, 0x13, 0x00, 0x01, 0x00, 0x00}, true},
        HeaderCase{"AnyByte2AndLengthTail", {'F', 'W', 0xFF, 0x13, 0x00, 0xFF, 0xFF, 0xFF}, true},
        HeaderCase{"OldVersionIsNotAHeaderMatter", {'F', 'W', 0x00, 0x00, 0x00}, true},
        HeaderCase{"Byte4One", {'F', 'W', 0x00, 0x13, 0x01, 0x00, 0x00, 0x00}, false},
        HeaderCase{"Byte4High", {'F', 'W', 0x00, 0x13, 0x80}, false},
        HeaderCase{"LowerCase", {'f', 'w', 0x00, 0x13, 0x00}, false},
        HeaderCase{"LowerCaseF", {'f', 'W', 0x00, 0x13, 0x00}, false},
        HeaderCase{"LowerCaseW", {'F', 'w', 0x00, 0x13, 0x00}, false},
        HeaderCase{"Swapped", {'W', 'F', 0x00, 0x13, 0x00}, false}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

TEST(HeaderAcceptanceTest, AnAllZeroContainerDecodesToOneRepeatedByteAndIsRefused) {
  const std::vector<std::uint8_t> container(kContainerSize, 0);
  std::vector<std::uint8_t> image(kImageSize);
  DecodeContainer(std::span<const std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  std::span<std::uint8_t, kImageSize>(image.data(), kImageSize));
  EXPECT_EQ(std::count(image.begin(), image.end(), kInitialKey), std::ptrdiff_t{kImageSize});
  EXPECT_FALSE(HeaderAccepted(std::span<const std::uint8_t, kImageSize>(image.data(), kImageSize)));
}

}  // namespace
}  // namespace tlx
