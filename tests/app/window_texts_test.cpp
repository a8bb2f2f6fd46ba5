#include "app/window_texts.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

struct LineCase {
  std::uint8_t byte;
  const char* hardwareLine;
  const char* versionText;
};

class VersionLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(VersionLinesTest, HardwareUsesCode48PlusNumberAndVersionTheLastMinorDigit) {
  const VersionPair pair = VersionPair::FromByte(GetParam().byte);
  EXPECT_EQ(HardwareLine(pair), GetParam().hardwareLine);
  EXPECT_EQ(VersionText(pair), GetParam().versionText);
}

INSTANTIATE_TEST_SUITE_P(Bytes, VersionLinesTest,
                         ::testing::Values(LineCase{0x00, "Tambrelux Pro - Hardware v0.0", "0.0"},
                                           LineCase{0x21, "Tambrelux Pro - Hardware v2.1", "2.1"},
                                           LineCase{0x1A, "Tambrelux Pro - Hardware v1.:", "1.0"},
                                           LineCase{0x1C, "Tambrelux Pro - Hardware v1.<", "1.2"},
                                           LineCase{0xBD, "Tambrelux Pro - Hardware v;.=", ";.3"}),
                         [](const auto& info) { return "Byte" + std::to_string(info.param.byte); });

}  // namespace
}  // namespace tlx
