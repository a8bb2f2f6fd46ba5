// The bootloader's own rules: the write-protected range, and resynchronising after garbage.
// What it reads and programs is pinned down by the update engine's clean updates.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace tlx::test {
namespace {

struct ProtectionCase {
  const char* name;
  const char* before;  // frame sent before the block
  std::uint32_t address;
};

using ProtectionTest = BoardTestWith<ProtectionCase>;

// Flash bytes 2,048 to 4,095 (addresses 1,024 to 2,047) keep their value while locked;
// every other byte of the block is programmed.
TEST_P(ProtectionTest, LockedBytesKeepTheirValue) {
  Send(GetParam().before);
  const std::vector<std::uint8_t> block = Pattern(2048, 0x77);
  ASSERT_EQ(WriteBlock(GetParam().address, block), FT_OK);
  std::vector<std::uint8_t> expected = block;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const std::size_t at = 2 * GetParam().address + i;
    if (at >= 2048 && at < 4096) expected[i] = 0xFF;
  }
  EXPECT_EQ(FlashHex(2 * GetParam().address, 2048), Hex(expected));
}

INSTANTIATE_TEST_SUITE_P(Brackets, ProtectionTest,
                         ::testing::Values(ProtectionCase{"Locked", "", 1024},
                                           ProtectionCase{"OtherExValue", "455807cf", 1024},
                                           ProtectionCase{"StraddlingTheEnd", "", 1536}),
                         CaseName);

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
                      GarbageCase{"TagInsideGarbage", "00 5246 000000 0001", "ffffffff"}),
    CaseName);

}  // namespace
}  // namespace tlx::test
