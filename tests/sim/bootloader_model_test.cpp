// The board's own rules: commands and replies, the write-protected range, resynchronising
// after garbage, and what a purge throws away.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace tlx::test {
namespace {

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
  board.Flash()[65535] = 0x34;
  board.Flash()[0] = 0x56;
  Send("5246 007fff 0002");
  EXPECT_EQ(Read(8), "ff34ffffffffffff") << "past the end of flash reads as erased";
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
  bool unlocked;
};

using ProtectionTest = BoardTestWith<ProtectionCase>;

// Flash bytes 2,048 to 4,095 (addresses 1,024 to 2,047) keep their erased state unless
// unlocked; every other byte of the block is programmed.
TEST_P(ProtectionTest, WritesLandOnlyInsideTheBracket) {
  const ProtectionCase& c = GetParam();
  for (const std::string& frame : c.before) Send(frame);
  const std::vector<std::uint8_t> block = Pattern(2048, 0x77);
  ASSERT_EQ(WriteBlock(c.address, block), FT_OK);
  EXPECT_EQ(board.ProtectedRangeUnlocked(), c.unlocked);
  std::vector<std::uint8_t> expected = block;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const std::size_t at = 2 * c.address + i;
    if (!c.unlocked && at >= 2048 && at < 4096) expected[i] = 0xFF;
  }
  EXPECT_EQ(FlashHex(2 * c.address, 2048), Hex(expected));
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply) << "the board took the data bytes and is in step";
}

INSTANTIATE_TEST_SUITE_P(
    Brackets, ProtectionTest,
    ::testing::Values(ProtectionCase{"Locked", {}, 1024, false},
                      ProtectionCase{"Unlocked", {"455807ce"}, 1024, true},
                      ProtectionCase{"LockedAgain", {"455807ce", "4558042c"}, 1024, false},
                      ProtectionCase{"OtherValue", {"455807cf"}, 1024, false},
                      ProtectionCase{"ValueBytesSwapped", {"4558ce07"}, 1024, false},
                      ProtectionCase{"StraddlingTheStart", {}, 512, false},
                      ProtectionCase{"StraddlingTheEnd", {}, 1536, false},
                      ProtectionCase{"AboveTheRange", {}, 2048, false}),
    CaseName);

struct GarbageCase {
  const char* name;
  const char* garbage;
  std::string replyBefore;  // what the garbage itself makes the board answer
};

using ResyncTest = BoardTestWith<GarbageCase>;

// Whatever came before, the board answers the first whole command that follows.
TEST_P(ResyncTest, AnswersTheFirstCommandAfterGarbage) {
  Send(GetParam().garbage);
  Send("5349");
  EXPECT_EQ(Read(12), GetParam().replyBefore + kStatusReply);
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, ResyncTest,
    ::testing::Values(GarbageCase{"Zeros", "000000", ""}, GarbageCase{"LoneS", "53", ""},
                      GarbageCase{"DoubledS", "5353", ""}, GarbageCase{"WThenX", "5758", ""},
                      GarbageCase{"Binary", "ff13a0524552", ""},
                      GarbageCase{"ReversedTag", "4953", ""},
                      GarbageCase{"TagInsideGarbage", "00 5246 000000 0001", "ffffffff"}),
    CaseName);

struct PurgeCase {
  const char* name;
  const char* before;
  DWORD mask;
  std::string reply;  // to the "SI" sent after the purge, and whatever was still waiting
};

using PurgeTest = BoardTestWith<PurgeCase>;

TEST_P(PurgeTest, ReceiveDropsTheWaitingReplyTransmitTheHalfReceivedFrame) {
  Send(GetParam().before);
  ASSERT_EQ(port.FT_Purge(handle, GetParam().mask), FT_OK);
  Send("5349");
  EXPECT_EQ(Read(8), GetParam().reply);
}

// Without a transmit purge, "SI" completes an "RF" that lacks its count (count 0x5349), so
// the host gets flash bytes instead of the status reply.
INSTANTIATE_TEST_SUITE_P(
    Masks, PurgeTest,
    ::testing::Values(PurgeCase{"MidFrameBoth", "5246 000000", FT_PURGE_RX | FT_PURGE_TX,
                                kStatusReply},
                      PurgeCase{"MidFrameTransmit", "5246 000000", FT_PURGE_TX, kStatusReply},
                      PurgeCase{"MidFrameReceive", "5246 000000", FT_PURGE_RX, "ffffffffffffffff"},
                      PurgeCase{"WaitingReplyReceive", "5349", FT_PURGE_RX, kStatusReply},
                      PurgeCase{"WaitingReplyTransmit", "5349", FT_PURGE_TX,
                                std::string(kStatusReply) + kStatusReply}),
    CaseName);

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
