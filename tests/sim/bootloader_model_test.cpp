// The bootloader's own rules: the write-protected range, and resynchronising after garbage.
// What it reads and programs is pinned down by the update engine's clean updates.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace tlx::test {
namespace {

// Flash bytes 2,048 to 4,095 (addresses 1,024 to 2,047) keep their value while locked, and
// an "EX" value other than the unlocking one leaves them locked; the bytes around them are
// programmed.
TEST_F(BoardTest, LockedBytesKeepTheirValue) {
  Send("455807cf");
  const std::vector<std::uint8_t> block = Pattern(2048, 0x77);
  ASSERT_EQ(WriteBlock(512, block), FT_OK);
  ASSERT_EQ(WriteBlock(1536, block), FT_OK);
  EXPECT_EQ(FlashHex(1024, 1024), Hex(std::span(block).first(1024)));
  EXPECT_EQ(FlashHex(2048, 2048), std::string(4096, 'f'));
  EXPECT_EQ(FlashHex(4096, 1024), Hex(std::span(block).subspan(1024)));
}

struct GarbageCase {
  const char* name;
  const char* garbage;
  std::string replyBefore;  // what the garbage itself makes the board answer
};

using ResyncTest = BoardTestWith<GarbageCase>;

// Bytes that form no tag are dropped between commands, so the board answers the first
// whole command that follows; a tag inside garbage starts its command.
TEST_P(ResyncTest, AnswersTheFirstCommandAfterGarbage) {
  Send(GetParam().garbage);
  Send("5349");
  EXPECT_EQ(Read(12), GetParam().replyBefore + kStatusReply);
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, ResyncTest,
    ::testing::Values(GarbageCase{"DoubledS", "5353", ""}, GarbageCase{"WThenX", "5758", ""},
                      GarbageCase{"LoneW", "57", ""},
                      GarbageCase{"TagInsideGarbage", "00 5246 000000 0001", "ffffffff"}),
    CaseName);

}  // namespace
}  // namespace tlx::test
