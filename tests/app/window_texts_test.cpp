#include "app/window_texts.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(WindowTextsTest, CaptionWritesBothNumbersInDecimal) {
  EXPECT_EQ(WindowCaption(1, 3), "Tambrelux Pro Updater v1.3");
  EXPECT_EQ(WindowCaption(1, 10), "Tambrelux Pro Updater v1.10");
  EXPECT_EQ(WindowCaption(12, 0), "Tambrelux Pro Updater v12.0");
}

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
                                           LineCase{0x19, "Tambrelux Pro - Hardware v1.9", "1.9"},
                                           LineCase{0x1A, "Tambrelux Pro - Hardware v1.:", "1.0"},
                                           LineCase{0x1C, "Tambrelux Pro - Hardware v1.<", "1.2"},
                                           LineCase{0xA3, "Tambrelux Pro - Hardware v:.3", ":.3"},
                                           LineCase{0xBD, "Tambrelux Pro - Hardware v;.=", ";.3"},
                                           LineCase{0xFF, "Tambrelux Pro - Hardware v?.?", "?.5"}));

TEST(WindowTextsTest, StatusLineHasTwoBlanksAroundTheHyphen) {
  EXPECT_EQ(StatusLine({1, 3}, {2, 0}), "Firmware: v1.3  -  Upgrading to: v2.0");
  EXPECT_EQ(StatusLine({1, 1}, {1, 12}), "Firmware: v1.1  -  Upgrading to: v1.2");
}

}  // namespace
}  // namespace tlx
