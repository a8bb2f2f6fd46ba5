// The whole update on a healthy board: what goes on the wire in which order, what ends up in
// flash and what the bar shows.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "flash_rig.h"

namespace tlx::test {
namespace {

void AppendBlocks(std::vector<std::string>& wire, const std::string& tag, int firstAddress,
                  int blocks) {
  for (int block = 0; block < blocks; ++block)
    wire.insert(wire.end(), {"purge", tag + " " + std::to_string(firstAddress + 1024 * block)});
}

std::vector<std::string> ExpectedWire(bool withStep4) {
  std::vector<std::string> wire{"purge"};
  AppendBlocks(wire, "WF", 2048, 8);
  AppendBlocks(wire, "RF", 2048, 8);
  AppendBlocks(wire, "WF", 0, 1);
  AppendBlocks(wire, "RF", 0, 1);
  if (withStep4) {
    wire.insert(wire.end(), {"EX 1998", "purge", "SI"});
    AppendBlocks(wire, "WF", 1024, 2);
    AppendBlocks(wire, "RF", 1024, 2);
    wire.insert(wire.end(), {"purge", "EX 1068", "SI"});
  }
  AppendBlocks(wire, "WF", 8192, 24);
  wire.push_back("purge");
  AppendBlocks(wire, "RF", 8192, 24);
  return wire;
}

// Each pass of a block loop moves the bar from its value to that value plus the block count.
std::vector<int> ExpectedProgress(bool withStep4) {
  using Passes = std::vector<std::pair<int, int>>;
  const Passes passes = withStep4 ? Passes{{0, 7},   {7, 14},  {14, 14}, {14, 14}, {14, 15},
                                           {15, 16}, {16, 39}, {39, 61}, {61, 61}}
                                  : Passes{{0, 7}, {7, 14}, {14, 14}, {14, 14}, {14, 37}, {37, 60}};
  std::vector<int> values{0};
  for (const auto& [first, last] : passes)
    for (int value = first; value <= last; ++value) values.push_back(value);
  return values;
}

struct BoardCase {
  std::uint8_t firmwareByte;
  bool withStep4;
  friend void PrintTo(const BoardCase& c, std::ostream* os) {
    *os << "firmware byte " << static_cast<int>(c.firmwareByte);
  }
};

class CleanUpdate : public ::testing::TestWithParam<BoardCase> {};

TEST_P(CleanUpdate, WritesReadsBackAndCountsEveryRegionInOrder) {
  const bool withStep4 = GetParam().withStep4;
  FlashRig rig(GetParam().firmwareByte);
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, 0);
  EXPECT_TRUE(rig.window.messages.empty());
  EXPECT_EQ(rig.Wire(), ExpectedWire(withStep4));
  EXPECT_TRUE(rig.FlashHoldsImage({0, kStep4OnlyBytes.first}));
  EXPECT_TRUE(rig.FlashHoldsImage({kStep4OnlyBytes.end, 65536}));
  EXPECT_EQ(rig.FlashHoldsImage(kStep4OnlyBytes), withStep4);
  EXPECT_EQ(rig.FlashAsBefore(kStep4OnlyBytes), !withStep4);
  EXPECT_FALSE(rig.board.ProtectedRangeUnlocked());
  EXPECT_EQ(rig.imageCopy, rig.original);
  EXPECT_EQ(rig.image, rig.original);
  EXPECT_EQ(rig.window.progressMax, 61);
  EXPECT_EQ(rig.window.progressValues, ExpectedProgress(withStep4));
}

INSTANTIATE_TEST_SUITE_P(Firmware, CleanUpdate,
                         ::testing::Values(BoardCase{0x00, true}, BoardCase{0x11, true},
                                           BoardCase{0x12, false}, BoardCase{0x21, false}),
                         [](const auto& info) {
                           return "FirmwareByte" + std::to_string(info.param.firmwareByte);
                         });

}  // namespace
}  // namespace tlx::test
