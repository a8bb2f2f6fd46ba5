#include "link/version_pair.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

struct VersionCase {
  std::uint8_t byte;
  std::uint8_t major;
  std::uint8_t minor;
};

class VersionPairTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionPairTest, SplitsTheByteIntoNibblesAndBack) {
  const VersionCase c = GetParam();
  const VersionPair pair = VersionPair::FromByte(c.byte);
  EXPECT_EQ(pair.Major, c.major);
  EXPECT_EQ(pair.Minor, c.minor);
  EXPECT_EQ(pair.Byte(), c.byte);
}

INSTANTIATE_TEST_SUITE_P(Bytes, VersionPairTest,
                         ::testing::Values(VersionCase{0x00, 0, 0}, VersionCase{0x01, 0, 1},
                                           VersionCase{0x10, 1, 0}, VersionCase{0x11, 1, 1},
                                           VersionCase{0x21, 2, 1}, VersionCase{0x13, 1, 3},
                                           VersionCase{0xA5, 10, 5}, VersionCase{0xFF, 15, 15}));

}  // namespace
}  // namespace tlx
