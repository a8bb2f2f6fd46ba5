// Each kind of fault does what it says, strikes exactly the calls it names, and a seed
// names one exact run of random faults.
#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <string_view>

#include "board_fixture.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;

constexpr FT_STATUS kOk = FT_OK;
constexpr FT_STATUS kIo = FT_IO_ERROR;

// Expected statuses of a call sequence, one letter a call: o FT_OK, i FT_IO_ERROR,
// b FT_INVALID_HANDLE, g FT_DEVICE_NOT_FOUND, h FT_DEVICE_NOT_OPENED,
// p FT_INVALID_PARAMETER, x FT_OTHER_ERROR.
std::vector<FT_STATUS> Statuses(std::string_view letters) {
  static const std::map<char, FT_STATUS> kByLetter{{'o', FT_OK},
                                                   {'i', FT_IO_ERROR},
                                                   {'b', FT_INVALID_HANDLE},
                                                   {'g', FT_DEVICE_NOT_FOUND},
                                                   {'h', FT_DEVICE_NOT_OPENED},
                                                   {'p', FT_INVALID_PARAMETER},
                                                   {'x', FT_OTHER_ERROR}};
  std::vector<FT_STATUS> statuses;
  for (char letter : letters) statuses.push_back(kByLetter.at(letter));
  return statuses;
}

struct ReadFaultCase {
  const char* name;
  FaultKind kind;
  FT_STATUS status;
  std::size_t delivered;
  double modelMs;        // cost of the faulted read
  const char* nextRead;  // what a second read of 4 then gets
};

using ReadFaultTest = BoardTestWith<ReadFaultCase>;

TEST_P(ReadFaultTest, ChangesOnlyTheFaultedRead) {
  const ReadFaultCase& c = GetParam();
  ASSERT_EQ(port.FT_SetLatencyTimer(handle, 2), FT_OK);
  board.Faults().Add({.call = D2xxCall::Read, .kind = c.kind, .status = FT_OTHER_ERROR});
  Send("5349");
  const double before = board.ModelMilliseconds();
  FT_STATUS status = FT_OK;
  const std::string got = Read(4, &status);
  EXPECT_EQ(status, c.status);
  EXPECT_EQ(got.size(), 2 * c.delivered);
  if (c.kind != FaultKind::BitFlip) {
    EXPECT_EQ(got, std::string(kStatusReply).substr(0, got.size()));
  }
  EXPECT_DOUBLE_EQ(board.ModelMilliseconds() - before, c.modelMs);
  EXPECT_EQ(Read(4), c.nextRead);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReadFaultTest,
    ::testing::Values(
        ReadFaultCase{"FailStatus", FaultKind::FailStatus, FT_OTHER_ERROR, 0, 0, kStatusReply},
        ReadFaultCase{"IoErrorWithBytes", FaultKind::IoErrorWithBytes, kIo, 4, 2.004, ""},
        ReadFaultCase{"NoData", FaultKind::NoData, kOk, 0, 100, kStatusReply},
        ReadFaultCase{"SplitReply", FaultKind::SplitReply, kOk, 1, 100, "562111"},
        ReadFaultCase{"BitFlip", FaultKind::BitFlip, kOk, 4, 2.004, ""}),
    CaseName);

TEST_F(BoardTest, BitFlipInvertsExactlyOneDeliveredBitAndLeavesFlashAlone) {
  const std::vector<std::uint8_t> block = Pattern(2048, 0x0F);
  ASSERT_EQ(WriteBlock(0x1000, block), FT_OK);
  board.Faults().Add({.call = D2xxCall::Read, .kind = FaultKind::BitFlip});
  Send("5246 001000 0200");
  const std::vector<std::uint8_t> first = Bytes(Read(2048));
  Send("5246 001000 0200");
  EXPECT_EQ(Read(2048), Hex(block)) << "the flash itself is intact";
  ASSERT_EQ(first.size(), block.size());
  int flippedBits = 0;
  for (std::size_t i = 0; i < block.size(); ++i)
    flippedBits += std::popcount(static_cast<unsigned>(first[i] ^ block[i]));
  EXPECT_EQ(flippedBits, 1);
}

struct SequenceCase {
  const char* name;
  ScriptedFault fault;
  int unplugAt;
  const char* statuses;
  std::string reply;
};

class CallSequenceTest : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(CallSequenceTest, FailsExactlyTheCallsTheFaultNames) {
  const SequenceCase& c = GetParam();
  RawBoard raw;
  if (c.unplugAt != 0) {
    raw.board.Faults().UnplugAt(c.unplugAt);
  } else {
    raw.board.Faults().Add(c.fault);
  }
  std::vector<FT_STATUS> statuses{
      raw.port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &raw.handle)};
  std::string reply;
  for (FT_STATUS status : raw.CallEachOn(raw.handle, &reply)) statuses.push_back(status);
  statuses.push_back(raw.port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &raw.handle));
  EXPECT_EQ(statuses, Statuses(c.statuses));
  EXPECT_EQ(reply, c.reply);
  const auto& trace = raw.board.CallTrace().Entries();
  for (std::size_t i = 0; i < trace.size(); ++i) EXPECT_EQ(trace[i].status, statuses[i]);
}

ScriptedFault Fails(D2xxCall call, FT_STATUS status = kIo) {
  return {.call = call, .status = status};
}

// Rows: the fault (or the call from which the board is unplugged), the statuses of open,
// timeouts, latency, USB parameters, write "SI", read, purge, close and a reopen, and
// what the read got.
INSTANTIATE_TEST_SUITE_P(
    Faults, CallSequenceTest,
    ::testing::Values(
        SequenceCase{"OpenEx", Fails(D2xxCall::OpenEx, FT_DEVICE_NOT_OPENED), 0, "hbbbbbbbo", ""},
        SequenceCase{"SetTimeouts", Fails(D2xxCall::SetTimeouts), 0, "oiooooooo", kStatusReply},
        SequenceCase{"SetLatencyTimer", Fails(D2xxCall::SetLatencyTimer, FT_INVALID_PARAMETER), 0,
                     "oopoooooo", kStatusReply},
        SequenceCase{"SetUSBParameters", Fails(D2xxCall::SetUSBParameters, FT_OTHER_ERROR), 0,
                     "oooxooooo", kStatusReply},
        SequenceCase{"WriteNeverReachesTheBoard", Fails(D2xxCall::Write), 0, "ooooioooo", ""},
        SequenceCase{"Read", Fails(D2xxCall::Read), 0, "oooooiooo", ""},
        SequenceCase{"Purge", Fails(D2xxCall::Purge), 0, "ooooooioo", kStatusReply},
        SequenceCase{"CloseLeavesTheBoardHeld", Fails(D2xxCall::Close), 0, "oooooooih",
                     kStatusReply},
        SequenceCase{"UnplugAtOpen", {}, 1, "gbbbbbbbg", ""},
        SequenceCase{"UnplugAtWrite", {}, 5, "ooooiiiog", ""},
        SequenceCase{"UnplugAtRead", {}, 6, "oooooiiog", ""}),
    CaseName);

struct TagCase {
  const char* name;
  ScriptedFault fault;
  const char* statuses;
};

using TagTest = BoardTestWith<TagCase>;

// Other calls in between do not count. In order: "SI" frame and reply, "WF" frame and
// data, "RF" frame and reply, "EX" frame.
TEST_P(TagTest, StrikesOnlyTheMatchingCallsFromFirstForCount) {
  board.Faults().Add(GetParam().fault);
  const std::vector<FT_STATUS> statuses{Send("5349"),
                                        ReadStatus(4),
                                        Send("5746 004000"),
                                        Send(Pattern(2048, 1)),
                                        Send("5246 000000 0001"),
                                        ReadStatus(4),
                                        Send("4558 07ce")};
  EXPECT_EQ(statuses, Statuses(GetParam().statuses));
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TagTest,
    ::testing::Values(
        TagCase{"WFDataIsItsSecondWrite",
                {.call = D2xxCall::Write, .first = 2, .tag = "WF"},
                "oooiooo"},
        TagCase{"WFFrame", {.call = D2xxCall::Write, .tag = "WF"}, "ooioooo"},
        TagCase{"RFReply", {.call = D2xxCall::Read, .tag = "RF"}, "oooooio"},
        TagCase{
            "SecondAndThirdWrite", {.call = D2xxCall::Write, .first = 2, .count = 2}, "ooiiooo"},
        TagCase{"FromFourthWriteOn",
                {.call = D2xxCall::Write, .first = 4, .count = sim::kEveryLaterCall},
                "ooooioi"},
        TagCase{"UntaggedThirdWrite", {.call = D2xxCall::Write, .first = 3}, "oooiooo"}),
    CaseName);

TEST_F(BoardTest, AStuckByteProgramsWrongEveryTime) {
  board.Faults().StickByte(0x2005, 0x40);
  std::vector<std::uint8_t> expected = Pattern(2048, 0x10);
  expected[5] ^= 0x40;
  for (int attempt = 0; attempt < 3; ++attempt) {
    ASSERT_EQ(WriteBlock(0x1000, Pattern(2048, 0x10)), FT_OK);
    ASSERT_EQ(FlashHex(0x2000, 2048), Hex(expected)) << "attempt " << attempt;
  }
}

TEST_F(BoardTest, BadProgrammingLeavesOneWrongByteThatStays) {
  board.Faults().SetRandom(7, {.badProgram = 1.0});
  const std::vector<std::uint8_t> block = Pattern(2048, 0x20);
  ASSERT_EQ(WriteBlock(0x1000, block), FT_OK);
  const std::vector<std::uint8_t> flash = Bytes(FlashHex(0x2000, 2048));
  int wrongBytes = 0;
  for (std::size_t i = 0; i < block.size(); ++i) wrongBytes += flash[i] != block[i];
  EXPECT_EQ(wrongBytes, 1);
  Send("5246 001000 0200");
  EXPECT_EQ(Read(2048), Hex(flash)) << "persistent: every read-back sees the same wrong byte";
}

std::string RandomRun(std::uint64_t seed) {
  RawBoard raw;
  raw.Open();
  raw.board.Faults().SetRandom(seed, {.failStatus = 0.1,
                                      .ioErrorWithBytes = 0.1,
                                      .noData = 0.1,
                                      .splitReply = 0.1,
                                      .bitFlip = 0.1,
                                      .badProgram = 0.5});
  for (int i = 0; i < 20; ++i) {
    raw.Send("5349");
    raw.Read(4);
    raw.WriteBlock(0x1000, Pattern(2048, static_cast<std::uint8_t>(i)));
    raw.Send("5246 001000 0200");
    raw.Read(2048);
    raw.port.FT_Purge(raw.handle, FT_PURGE_RX | FT_PURGE_TX);
  }
  return raw.board.CallTrace().JsonLines();
}

TEST(RandomFaultTest, ASeedNamesOneExactRun) {
  const std::string run = RandomRun(42);
  EXPECT_EQ(RandomRun(42), run);
  EXPECT_NE(RandomRun(43), run);
}

TEST_F(BoardTest, RandomFaultsOccurAtTheirRates) {
  board.Faults().SetRandom(1, {.failStatus = 0.2, .splitReply = 0.2});
  int failed = 0;
  int split = 0;
  for (int i = 0; i < 1000; ++i) {
    Send("5349");
    FT_STATUS status = FT_OK;
    const std::string got = Read(4, &status);
    failed += status != FT_OK;
    split += status == FT_OK && got.size() == 2;
    port.FT_Purge(handle, FT_PURGE_RX | FT_PURGE_TX);
  }
  EXPECT_NEAR(failed, 200, 50);
  EXPECT_NEAR(split, 160, 50);  // 0.8 x 0.2 of the reads that did not fail
}

TEST_F(BoardTest, RandomBitFlipsStrikeReadBackDataButNeverAStatusReply) {
  board.Faults().SetRandom(7, {.bitFlip = 1.0});
  Send("5349");
  EXPECT_EQ(Read(4), kStatusReply);
  Send("5246 000000 0001");
  EXPECT_NE(Read(4), "ffffffff");
}

}  // namespace
}  // namespace tlx::test
