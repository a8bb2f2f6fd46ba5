// The bridge between the host's calls and the bootloader: a purge empties only the bridge's
// buffers, a write cut short passes exactly the bytes it reports, both paces carry the same.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace tlx::test {
namespace {

TEST_F(BoardTest, APurgeBetweenAFramesHeadAndItsDataLeavesTheBootloaderWaiting) {
  const std::vector<std::uint8_t> block = Pattern(2048, 0x11);
  Send("5746 000800");
  ASSERT_EQ(Purge(), FT_OK);
  Send(block);
  EXPECT_EQ(FlashHex(0x1000, 2048), Hex(block));
}

// A reply the bootloader has sent is the bridge's until the host reads it.
TEST_F(BoardTest, OnlyAReceivePurgeDropsAWaitingReply) {
  Send("5349");
  ASSERT_EQ(Purge(FT_PURGE_TX), FT_OK);
  Send("5349");
  EXPECT_EQ(Read(8), std::string(kStatusReply) + kStatusReply);
  Send("5349");
  ASSERT_EQ(Purge(FT_PURGE_RX), FT_OK);
  Send("5349");
  EXPECT_EQ(Read(8), kStatusReply);
}

struct CutCase {
  const char* name;
  std::uint32_t bytesPassed;  // as scripted
  DWORD written;
};

using PartialWriteTest = BoardTestWith<CutCase>;

// The rest of the block, sent next, completes it only if exactly the reported bytes passed.
TEST_P(PartialWriteTest, PassesExactlyTheBytesItReports) {
  board.Faults().Add({.call = sim::D2xxCall::Write,
                      .first = 2,
                      .kind = sim::FaultKind::PartialWrite,
                      .bytesPassed = GetParam().bytesPassed});
  const std::vector<std::uint8_t> block = Pattern(2048, 0x33);
  ASSERT_EQ(Send("5746 000800"), FT_OK);
  DWORD written = 0;
  EXPECT_EQ(Send(block, &written), FT_IO_ERROR);
  ASSERT_EQ(written, GetParam().written);
  EXPECT_EQ(board.CallTrace().Entries().back().written, written);
  EXPECT_EQ(FlashHex(0x1000, 2048), std::string(4096, 'f'));
  Send(std::vector<std::uint8_t>(block.begin() + written, block.end()));
  EXPECT_EQ(FlashHex(0x1000, 2048), Hex(block));
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply);
}

INSTANTIATE_TEST_SUITE_P(Cuts, PartialWriteTest,
                         ::testing::Values(CutCase{"FirstByte", 1, 1}, CutCase{"Half", 1024, 1024},
                                           CutCase{"MoreThanTheWrite", 5000, 2047}),
                         CaseName);

// The realistic pace carries one byte at a time by the model clock and holds bytes back
// while a block programs; what arrives is the same. The instant pace counts the programming
// in the write that completes the block, the realistic one lets the purge's millisecond
// overlap it.
TEST(PaceTest, BothPacesCarryTheSameBytes) {
  std::vector<std::string> readBacks;
  std::vector<double> modelMs;
  for (sim::Pace pace : {sim::Pace::Instant, sim::Pace::Realistic}) {
    RawBoard raw(pace);
    raw.Open();
    raw.WriteBlock(0x1000, Pattern(2048, 0x44));
    raw.Purge();
    raw.Send("5246 001000 0200");
    readBacks.push_back(raw.Read(2048));
    modelMs.push_back(raw.board.ModelMilliseconds());
  }
  EXPECT_EQ(readBacks[0], Hex(Pattern(2048, 0x44)));
  EXPECT_EQ(readBacks[1], readBacks[0]);
  EXPECT_NEAR(modelMs[1], modelMs[0] - 1, 1e-6);
}

}  // namespace
}  // namespace tlx::test
