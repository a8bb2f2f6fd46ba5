// The board's own rules: commands and replies, the write-protected range, resynchronising
// after garbage, and what a purge throws away.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace tlx::test {
namespace {

class BoardTest : public ::testing::Test, public RawBoard {
 protected:
  void SetUp() override { Open(); }
};

TEST_F(BoardTest, StartsErasedAndAnswersItsVersions) {
  for (std::uint8_t byte : board.Flash()) ASSERT_EQ(byte, 0xFF);
  EXPECT_FALSE(board.ProtectedRangeUnlocked());
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply);
}

TEST_F(BoardTest, ReadsCountTimesFourBytesFromTwiceTheAddress) {
  board.Flash()[0x2000] = 0x01;
  board.Flash()[0x2007] = 0x08;
  board.Flash()[0x2008] = 0x09;
  Send("5246 001000 0002");
  EXPECT_EQ(Read(9), "01ffffffffffff08");
}

TEST_F(BoardTest, ReadsPastTheEndOfFlashAsErased) {
  board.Flash()[65534] = 0x12;
  board.Flash()[65535] = 0x34;
  board.Flash()[0] = 0x56;
  Send("5246 007fff 0002");
  EXPECT_EQ(Read(8), "1234ffffffffffff");
  Send("5246 ffffff 0001");
  EXPECT_EQ(Read(4), "ffffffff");
}

TEST_F(BoardTest, ProgramsABlockByOverwriting) {
  board.Flash()[0x4000] = 0x00;
  const std::vector<std::uint8_t> block = Pattern(2048, 0x40);
  ASSERT_EQ(WriteBlock(0x2000, block), FT_OK);
  EXPECT_EQ(FlashHex(0x4000, 2048), Hex(block));
  EXPECT_EQ(board.Flash()[0x3FFF], 0xFF);
  EXPECT_EQ(board.Flash()[0x4800], 0xFF);
}

TEST_F(BoardTest, TakesBlockDataInAnyNumberOfWrites) {
  const std::vector<std::uint8_t> block = Pattern(2048, 0x11);
  Send("57 46 00");
  Send("0800");
  Send(std::vector<std::uint8_t>(block.begin(), block.begin() + 1000));
  Send(std::vector<std::uint8_t>(block.begin() + 1000, block.end()));
  EXPECT_EQ(FlashHex(0x1000, 2048), Hex(block));
}

// The last block of flash runs 1,024 bytes past its end: those are dropped, but the board
// still takes all 2,048 and is in step for the next command.
TEST_F(BoardTest, IgnoresBlockBytesPastTheEndOfFlash) {
  const std::vector<std::uint8_t> block = Pattern(2048, 0x22);
  ASSERT_EQ(WriteBlock(0x7E00, block), FT_OK);
  EXPECT_EQ(FlashHex(0xFC00, 1024), Hex(std::span(block).first(1024)));
  EXPECT_EQ(board.Flash()[0], 0xFF);
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply);
}

struct ProtectionCase {
  const char* name;
  std::vector<std::string> before;  // frames sent before the block
  std::uint32_t address;
  bool unlockedAfter;
  std::size_t firstProtected;  // bytes of the block that land before the protected range
  bool protectedBytesWritten;
};

class ProtectionTest : public BoardTest, public ::testing::WithParamInterface<ProtectionCase> {};

TEST_P(ProtectionTest, WritesLandOnlyInsideTheBracket) {
  const ProtectionCase& c = GetParam();
  for (const std::string& frame : c.before) Send(frame);
  const std::vector<std::uint8_t> block = Pattern(2048, 0x77);
  ASSERT_EQ(WriteBlock(c.address, block), FT_OK);
  EXPECT_EQ(board.ProtectedRangeUnlocked(), c.unlockedAfter);
  const std::size_t first = 2 * c.address;
  const std::span<const std::uint8_t> expected(block);
  EXPECT_EQ(FlashHex(first, c.firstProtected), Hex(expected.first(c.firstProtected)));
  const std::size_t rest = 2048 - c.firstProtected;
  EXPECT_EQ(FlashHex(first + c.firstProtected, rest), c.protectedBytesWritten
                                                          ? Hex(expected.subspan(c.firstProtected))
                                                          : std::string(2 * rest, 'f'));
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply) << "the board took the data bytes and is in step";
}

INSTANTIATE_TEST_SUITE_P(
    Brackets, ProtectionTest,
    ::testing::Values(ProtectionCase{"Locked", {}, 1024, false, 0, false},
                      ProtectionCase{"Unlocked", {"455807ce"}, 1024, true, 0, true},
                      ProtectionCase{
                          "LockedAgain", {"455807ce", "4558042c"}, 1024, false, 0, false},
                      ProtectionCase{"LockOnly", {"4558042c"}, 1024, false, 0, false},
                      ProtectionCase{"OtherValue", {"455807cf"}, 1024, false, 0, false},
                      ProtectionCase{"ValueBytesSwapped", {"4558ce07"}, 1024, false, 0, false},
                      ProtectionCase{"StraddlingTheStart", {}, 512, false, 1024, false},
                      ProtectionCase{"BelowTheRange", {}, 0, false, 2048, true},
                      ProtectionCase{"AboveTheRange", {}, 2048, false, 2048, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardTest, StraddlingTheEndKeepsTheLockedHalfAndWritesTheRest) {
  const std::vector<std::uint8_t> block = Pattern(2048, 0x33);
  ASSERT_EQ(WriteBlock(1536, block), FT_OK);
  EXPECT_EQ(FlashHex(3072, 1024), std::string(2048, 'f'));
  EXPECT_EQ(FlashHex(4096, 1024), Hex(std::span(block).subspan(1024)));
}

struct GarbageCase {
  const char* name;
  const char* garbage;
};

class ResyncTest : public BoardTest, public ::testing::WithParamInterface<GarbageCase> {};

// Whatever came before, the board answers the first whole command that follows.
TEST_P(ResyncTest, AnswersTheFirstCommandAfterGarbage) {
  Send(GetParam().garbage);
  Send("5349");
  EXPECT_EQ(Read(5), kStatusReply);
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, ResyncTest,
    ::testing::Values(GarbageCase{"Nothing", ""}, GarbageCase{"Zeros", "000000"},
                      GarbageCase{"LoneS", "53"}, GarbageCase{"DoubledS", "5353"},
                      GarbageCase{"LowerCaseTag", "7369"}, GarbageCase{"WThenX", "5758"},
                      GarbageCase{"EThenS", "4553"}, GarbageCase{"Binary", "ff13a0524552"},
                      GarbageCase{"ReversedTag", "4953"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardTest, ATagInsideGarbageStartsThatCommand) {
  Send("00 5246 000000 0001");
  Send("5349");
  EXPECT_EQ(Read(12), "ffffffff" + std::string(kStatusReply));
}

// Without a purge, "SI" completes an "RF" that lacks its count (count 0x5349), so the host
// gets flash bytes instead of the status reply.
TEST_F(BoardTest, AFrameCutShortSwallowsTheNextCommandWithoutAPurge) {
  Send("5246 000000");
  Send("5349");
  EXPECT_EQ(Read(4), "ffffffff");
}

struct PurgeCase {
  const char* name;
  DWORD mask;
  const char* expectedReply;
};

class PurgeMidFrameTest : public BoardTest, public ::testing::WithParamInterface<PurgeCase> {};

TEST_P(PurgeMidFrameTest, DropsTheHalfReceivedFrameOnlyWithTransmitPurge) {
  Send("5246 000000");
  ASSERT_EQ(port.FT_Purge(handle, GetParam().mask), FT_OK);
  Send("5349");
  EXPECT_EQ(Read(4), GetParam().expectedReply);
}

INSTANTIATE_TEST_SUITE_P(Masks, PurgeMidFrameTest,
                         ::testing::Values(PurgeCase{"Both", FT_PURGE_RX | FT_PURGE_TX,
                                                     kStatusReply},
                                           PurgeCase{"Transmit", FT_PURGE_TX, kStatusReply},
                                           PurgeCase{"Receive", FT_PURGE_RX, "ffffffff"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardTest, ReceivePurgeDropsTheWaitingReply) {
  Send("5349");
  ASSERT_EQ(port.FT_Purge(handle, FT_PURGE_RX), FT_OK);
  EXPECT_EQ(Read(4), "");
}

TEST_F(BoardTest, TransmitPurgeKeepsTheWaitingReply) {
  Send("5349");
  ASSERT_EQ(port.FT_Purge(handle, FT_PURGE_TX), FT_OK);
  EXPECT_EQ(Read(4), kStatusReply);
}

TEST_F(BoardTest, PurgeDuringBlockDataProgramsNothing) {
  const std::vector<std::uint8_t> block = Pattern(2048, 0x5A);
  Send("5746 000000");
  Send(std::vector<std::uint8_t>(block.begin(), block.begin() + 1000));
  ASSERT_EQ(port.FT_Purge(handle, FT_PURGE_RX | FT_PURGE_TX), FT_OK);
  Send(std::vector<std::uint8_t>(block.begin() + 1000, block.end()));
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply);
  EXPECT_EQ(FlashHex(0, 2048), std::string(4096, 'f'));
}

}  // namespace
}  // namespace tlx::test
