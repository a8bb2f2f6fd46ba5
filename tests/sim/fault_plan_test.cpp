// Each kind of fault does what it says and strikes exactly the calls it names, by call index
// and count; a seed names one exact run of random faults, drawn at their rates.
#include <gtest/gtest.h>

#include <cctype>

#include "board_fixture.h"
#include "sim/fault_spec.h"

namespace tlx::test {
namespace {

struct SequenceCase {
  const char* fault;     // as text
  const char* statuses;  // each call's status, one digit a call
  std::string reply;     // what the read got
};

class CallSequenceTest : public ::testing::TestWithParam<SequenceCase> {};

// Calls as the trace numbers them: 1 open, 2 timeouts, 3 latency, 4 USB parameters, 5 write
// "SI", 6 read its reply, 7 purge, 8 close, 9 open again.
TEST_P(CallSequenceTest, StrikesExactlyTheCallsTheTextNames) {
  RawBoard raw;
  raw.board.Faults().Add(std::get<sim::ScriptedFault>(sim::ParseFaultSpec(GetParam().fault)));
  D2xx& port = raw.port;
  const std::uint8_t frame[] = {'S', 'I'};
  std::uint8_t reply[4];
  DWORD count = 0;
  FT_HANDLE h = 0;
  const std::vector<FT_STATUS> statuses{
      port.FT_OpenEx("Tambrelux Pro", 2, &h), port.FT_SetTimeouts(h, 100, 0),
      port.FT_SetLatencyTimer(h, 2),          port.FT_SetUSBParameters(h, 64, 64),
      port.FT_Write(h, frame, 2, &count),     port.FT_Read(h, reply, 4, &count),
      port.FT_Purge(h, FT_PURGE_RX),          port.FT_Close(h),
      port.FT_OpenEx("Tambrelux Pro", 2, &h)};
  std::string actual;
  for (FT_STATUS status : statuses) actual += std::to_string(status);
  EXPECT_EQ(actual, GetParam().statuses);
  EXPECT_EQ(Hex(std::span(reply, count)), GetParam().reply);
  const auto& trace = raw.board.CallTrace().Entries();
  for (std::size_t i = 0; i < trace.size(); ++i) EXPECT_EQ(trace[i].status, statuses[i]);
}

INSTANTIATE_TEST_SUITE_P(Faults, CallSequenceTest,
                         ::testing::Values(SequenceCase{"write-error@5", "000040000", ""},
                                           SequenceCase{"write-error@2", "000040000", ""},
                                           SequenceCase{"write-error@6", "000000000", kStatusReply},
                                           SequenceCase{"read-error@6", "000004000", ""},
                                           SequenceCase{"read-io-error@6", "000004000",
                                                        kStatusReply},
                                           SequenceCase{"no-data@6", "000000000", ""},
                                           SequenceCase{"split-reply@6", "000000000", "4b"},
                                           SequenceCase{"bit-flip@6", "000000000", "4b562101"},
                                           SequenceCase{"purge-error@7", "000000400", kStatusReply},
                                           SequenceCase{"close-error@1", "000000043", kStatusReply},
                                           SequenceCase{"unplug@5", "000044402", ""}),
                         [](const auto& info) {
                           std::string name = info.param.fault;
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// A read that comes back short waits out the timeout; what it left waits for the next read.
TEST_F(BoardTest, AShortReadLeavesTheRestOfTheReplyForLater) {
  board.Faults().Add(std::get<sim::ScriptedFault>(sim::ParseFaultSpec("split-reply@3x2")));
  Send("5349");
  EXPECT_EQ(Read(4), "4b");
  EXPECT_EQ(Read(4), "56");
  EXPECT_DOUBLE_EQ(board.ModelMilliseconds(), 1 + 1 + 0.002 + 100 + 100);
  EXPECT_EQ(Read(4), "2111");
}

// Random bit flips strike read-back data, never a status reply, and leave flash alone; bad
// programming leaves one wrong byte in flash.
TEST_F(BoardTest, RandomFlipsAndBadProgrammingStrikeWhereTheySay) {
  board.Faults().SetRandom(7, {.bitFlip = 1.0, .badProgram = 1.0});
  const std::vector<std::uint8_t> block = Pattern(2048, 0x20);
  ASSERT_EQ(WriteBlock(0x1000, block), FT_OK);
  int wrongBytes = 0;
  for (std::size_t i = 0; i < block.size(); ++i)
    wrongBytes += board.Flash()[0x2000 + i] != block[i];
  EXPECT_EQ(wrongBytes, 1);
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply);
  Send("5246 001000 0001");
  EXPECT_NE(Read(4), FlashHex(0x2000, 4));
}

struct RandomRun {
  std::string trace;
  int failed = 0;
  int cut = 0;
  int split = 0;
};

RandomRun Play(std::uint64_t seed) {
  RawBoard raw;
  raw.Open();
  raw.board.Faults().SetRandom(seed, {.failStatus = 0.2, .splitReply = 0.2, .partialWrite = 0.2});
  RandomRun run;
  for (int i = 0; i < 1000; ++i) {
    DWORD written = 0;
    const FT_STATUS sent = raw.Send(Bytes("5349"), &written);
    run.failed += sent != FT_OK && written == 0;
    run.cut += sent != FT_OK && written == 1;
    run.split += raw.Read(4).size() == 2 && sent == FT_OK;
    raw.Purge();
  }
  run.trace = raw.board.CallTrace().JsonLines();
  return run;
}

TEST(RandomFaultTest, ASeedNamesOneExactRunOfFaultsAtTheirRates) {
  const RandomRun run = Play(1);
  EXPECT_EQ(Play(1).trace, run.trace);
  EXPECT_NE(Play(2).trace, run.trace);
  EXPECT_NEAR(run.failed, 200, 50);
  EXPECT_NEAR(run.cut, 160, 50);    // 0.8 x 0.2 of the writes that did not fail
  EXPECT_NEAR(run.split, 102, 40);  // 0.8 x 0.2 of the reads after the 0.64 of whole writes
}

}  // namespace
}  // namespace tlx::test
