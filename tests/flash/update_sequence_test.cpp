// The whole update on a healthy board: what goes on the wire in which order, what ends up in
// flash, what the bar shows, and what is left for the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "flash_rig.h"

namespace tlx::test {
namespace {

void AppendBlocks(std::vector<std::string>& wire, const std::string& tag, int firstAddress,
                  int blocks) {
  for (int block = 0; block < blocks; ++block) {
    wire.push_back("purge");
    wire.push_back(tag + " " + std::to_string(firstAddress + 1024 * block));
  }
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

std::vector<int> Run(int first, int last) {
  std::vector<int> values;
  for (int value = first; value <= last; ++value) values.push_back(value);
  return values;
}

std::vector<int> ExpectedProgress(bool withStep4) {
  std::vector<std::vector<int>> passes{{0, 0}, Run(0, 7), Run(7, 14), {14}, {14}};
  if (withStep4) {
    passes.insert(passes.end(), {Run(14, 15), Run(15, 16), Run(16, 39), Run(39, 61), {61}});
  } else {
    passes.insert(passes.end(), {Run(14, 37), Run(37, 60)});
  }
  std::vector<int> values;
  for (const auto& pass : passes) values.insert(values.end(), pass.begin(), pass.end());
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

TEST_P(CleanUpdate, WritesAndReadsBackEveryRegionInOrder) {
  FlashRig rig(GetParam().firmwareByte);
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, 0);
  EXPECT_TRUE(rig.window.messages.empty());
  EXPECT_EQ(rig.Wire(), ExpectedWire(GetParam().withStep4));
}

TEST_P(CleanUpdate, LeavesTheImageInFlashAndUntouchedInBothBuffers) {
  FlashRig rig(GetParam().firmwareByte);
  rig.engine.FlashDevice();

  EXPECT_TRUE(rig.FlashHoldsImage(0, kStep4OnlyBytes.first));
  EXPECT_TRUE(rig.FlashHoldsImage(kStep4OnlyBytes.end, 65536));
  const auto flash = rig.board.Flash();
  const bool step4OnlyBytesAsBefore =
      std::equal(flash.begin() + kStep4OnlyBytes.first, flash.begin() + kStep4OnlyBytes.end,
                 rig.flashBefore.begin() + kStep4OnlyBytes.first);
  EXPECT_EQ(rig.FlashHoldsImage(kStep4OnlyBytes.first, kStep4OnlyBytes.end), GetParam().withStep4);
  EXPECT_EQ(step4OnlyBytesAsBefore, !GetParam().withStep4);
  EXPECT_FALSE(rig.board.ProtectedRangeUnlocked());
  EXPECT_EQ(rig.imageCopy, rig.original);
  EXPECT_EQ(rig.image, rig.original);
}

TEST_P(CleanUpdate, CountsBlocksOnTheBarAndStopsAtItsMaximum) {
  FlashRig rig(GetParam().firmwareByte);
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.window.progressMax, 61);
  EXPECT_EQ(rig.window.progressValues, ExpectedProgress(GetParam().withStep4));
}

INSTANTIATE_TEST_SUITE_P(Firmware, CleanUpdate,
                         ::testing::Values(BoardCase{0x11, true}, BoardCase{0x05, true},
                                           BoardCase{0x00, true}, BoardCase{0x12, false},
                                           BoardCase{0x13, false}, BoardCase{0x21, false}));

TEST(UpdateSequence, PreparesTheWindowBeforeTheFirstBlock) {
  FlashRig rig;
  rig.engine.FlashDevice();

  const std::vector<std::string> start(rig.window.log.begin(), rig.window.log.begin() + 8);
  EXPECT_EQ(start,
            (std::vector<std::string>{"button 1 hidden", "button 2 hidden", "progress visible",
                                      "progress value 0", "StatusText = Flashing device...",
                                      "progress max 61", "progress value 0", "progress value 0"}));
  EXPECT_EQ(rig.window.log[8], "doevents");
}

TEST(UpdateSequence, SucceedsOnASecondAttemptAfterAFailure) {
  FlashRig rig;
  rig.board.Faults().Add({.call = sim::D2xxCall::Write, .first = 23, .count = 50, .tag = "WF"});
  rig.engine.FlashDevice();
  ASSERT_EQ(rig.failureFlag, -2);

  rig.failureFlag = 0;
  rig.engine.FlashDevice();

  EXPECT_EQ(rig.failureFlag, 0);
  EXPECT_EQ(rig.window.messages.size(), 1u);
  EXPECT_TRUE(rig.FlashHoldsImage(0, 65536));
  EXPECT_EQ(rig.imageCopy, rig.original);
}

}  // namespace
}  // namespace tlx::test
