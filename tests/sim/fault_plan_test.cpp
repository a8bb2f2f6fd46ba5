// Each kind of fault does what it says, strikes exactly the calls it names, and a seed
// names one exact run of random faults.
#include <gtest/gtest.h>

#include <bit>

#include "board_fixture.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;

class FaultTest : public ::testing::Test, public RawBoard {
 protected:
  void SetUp() override { Open(); }
};

struct ReadFaultCase {
  const char* name;
  FaultKind kind;
  FT_STATUS status;
  std::size_t delivered;
  double modelMs;        // cost of the faulted read
  const char* nextRead;  // what a second read of 4 then gets
};

class ReadFaultTest : public FaultTest, public ::testing::WithParamInterface<ReadFaultCase> {};

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
        ReadFaultCase{"IoErrorWithBytes", FaultKind::IoErrorWithBytes, FT_IO_ERROR, 4, 2.004, ""},
        ReadFaultCase{"NoData", FaultKind::NoData, FT_OK, 0, 100, kStatusReply},
        ReadFaultCase{"SplitReply", FaultKind::SplitReply, FT_OK, 1, 100, "562111"},
        ReadFaultCase{"BitFlip", FaultKind::BitFlip, FT_OK, 4, 2.004, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultTest, BitFlipInvertsExactlyOneDeliveredBitAndLeavesFlashAlone) {
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

struct FailingCallCase {
  D2xxCall call;
  FT_STATUS status;
};

class FailStatusTest : public ::testing::TestWithParam<FailingCallCase> {};

// The link's own open sequence, one status query and a purge and close make every kind of
// call once; only the faulted one fails, with the fault's status.
TEST_P(FailStatusTest, FailsTheNamedCallWithTheFaultsStatus) {
  RawBoard raw;
  raw.board.Faults().Add({.call = GetParam().call, .status = GetParam().status});
  D2xx& port = raw.port;
  FT_HANDLE& handle = raw.handle;
  std::vector<FT_STATUS> statuses;
  statuses.push_back(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle));
  if (handle == 0) handle = 1;  // keep going with the handle the board would have given
  statuses.push_back(port.FT_SetTimeouts(handle, 100, 0));
  statuses.push_back(port.FT_SetLatencyTimer(handle, 2));
  statuses.push_back(port.FT_SetUSBParameters(handle, 65536, 65536));
  statuses.push_back(raw.Send("5349"));
  FT_STATUS readStatus = FT_OK;
  raw.Read(4, &readStatus);
  statuses.push_back(readStatus);
  statuses.push_back(port.FT_Purge(handle, FT_PURGE_RX | FT_PURGE_TX));
  statuses.push_back(port.FT_Close(handle));

  const auto& trace = raw.board.CallTrace().Entries();
  ASSERT_EQ(trace.size(), statuses.size());
  for (std::size_t i = 0; i < trace.size(); ++i) {
    const bool faulted = trace[i].call == GetParam().call;
    const bool afterFailedOpen = GetParam().call == D2xxCall::OpenEx && i > 0;
    if (afterFailedOpen) continue;  // no board was opened: those calls meet a bad handle
    EXPECT_EQ(statuses[i], faulted ? GetParam().status : FT_OK) << sim::CallName(trace[i].call);
    EXPECT_EQ(trace[i].status, statuses[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, FailStatusTest,
    ::testing::Values(FailingCallCase{D2xxCall::OpenEx, FT_DEVICE_NOT_OPENED},
                      FailingCallCase{D2xxCall::SetTimeouts, FT_IO_ERROR},
                      FailingCallCase{D2xxCall::SetLatencyTimer, FT_INVALID_PARAMETER},
                      FailingCallCase{D2xxCall::SetUSBParameters, FT_OTHER_ERROR},
                      FailingCallCase{D2xxCall::Write, FT_IO_ERROR},
                      FailingCallCase{D2xxCall::Read, FT_IO_ERROR},
                      FailingCallCase{D2xxCall::Purge, FT_IO_ERROR},
                      FailingCallCase{D2xxCall::Close, FT_IO_ERROR}));

TEST_F(FaultTest, AFailedWriteNeverReachesTheBoard) {
  board.Faults().Add({.call = D2xxCall::Write, .status = FT_IO_ERROR});
  DWORD written = 99;
  const std::uint8_t frame[] = {'S', 'I'};
  EXPECT_EQ(port.FT_Write(handle, frame, 2, &written), FT_IO_ERROR);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(Read(4), "");
  EXPECT_EQ(board.CallTrace().Of(D2xxCall::Write).front().written, 0u);
}

struct WindowCase {
  const char* name;
  int first;
  int count;
  std::vector<FT_STATUS> statuses;  // of six purges
};

class WindowTest : public FaultTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(WindowTest, StrikesTheMatchingCallsFromFirstForCount) {
  board.Faults().Add(
      {.call = D2xxCall::Purge, .first = GetParam().first, .count = GetParam().count});
  std::vector<FT_STATUS> statuses;
  for (int i = 0; i < 6; ++i) {
    statuses.push_back(port.FT_Purge(handle, FT_PURGE_RX));
    Send("5349");  // other calls in between do not count
  }
  EXPECT_EQ(statuses, GetParam().statuses);
}

constexpr FT_STATUS kOk = FT_OK;
constexpr FT_STATUS kIo = FT_IO_ERROR;

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowTest,
    ::testing::Values(WindowCase{"Third", 3, 1, {kOk, kOk, kIo, kOk, kOk, kOk}},
                      WindowCase{"SecondAndThird", 2, 2, {kOk, kIo, kIo, kOk, kOk, kOk}},
                      WindowCase{
                          "FromFourthOn", 4, sim::kEveryLaterCall, {kOk, kOk, kOk, kIo, kIo, kIo}},
                      WindowCase{"None", 2, 0, {kOk, kOk, kOk, kOk, kOk, kOk}}),
    [](const auto& info) { return std::string(info.param.name); });

// Writes: "SI" frame, "WF" frame, "WF" data, "RF" frame, "EX" frame. Reads follow "SI"
// and "RF".
struct TagCase {
  const char* name;
  ScriptedFault fault;
  std::vector<FT_STATUS> writes;
  std::vector<FT_STATUS> reads;
};

class TagTest : public FaultTest, public ::testing::WithParamInterface<TagCase> {};

TEST_P(TagTest, CountsOnlyTheCallsOfItsCommand) {
  board.Faults().Add(GetParam().fault);
  std::vector<FT_STATUS> writes;
  std::vector<FT_STATUS> reads;
  FT_STATUS status = FT_OK;
  writes.push_back(Send("5349"));
  Read(4, &status);
  reads.push_back(status);
  writes.push_back(Send("5746 004000"));
  writes.push_back(Send(Pattern(2048, 1)));
  writes.push_back(Send("5246 000000 0001"));
  Read(4, &status);
  reads.push_back(status);
  writes.push_back(Send("4558 07ce"));
  EXPECT_EQ(writes, GetParam().writes);
  EXPECT_EQ(reads, GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TagTest,
    ::testing::Values(TagCase{"WFDataIsItsSecondWrite",
                              {.call = D2xxCall::Write, .first = 2, .tag = "WF"},
                              {kOk, kOk, kIo, kOk, kOk},
                              {kOk, kOk}},
                      TagCase{"WFFrame",
                              {.call = D2xxCall::Write, .tag = "WF"},
                              {kOk, kIo, kOk, kOk, kOk},
                              {kOk, kOk}},
                      TagCase{"EXFrame",
                              {.call = D2xxCall::Write, .tag = "EX"},
                              {kOk, kOk, kOk, kOk, kIo},
                              {kOk, kOk}},
                      TagCase{"RFReply",
                              {.call = D2xxCall::Read, .tag = "RF"},
                              {kOk, kOk, kOk, kOk, kOk},
                              {kOk, kIo}},
                      TagCase{"SIReply",
                              {.call = D2xxCall::Read, .tag = "SI"},
                              {kOk, kOk, kOk, kOk, kOk},
                              {kIo, kOk}},
                      TagCase{"UntaggedThirdWrite",
                              {.call = D2xxCall::Write, .first = 3},
                              {kOk, kOk, kIo, kOk, kOk},
                              {kOk, kOk}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultTest, AStuckByteProgramsWrongEveryTime) {
  board.Faults().StickByte(0x2005, 0x40);
  const std::vector<std::uint8_t> block = Pattern(2048, 0x10);
  for (int attempt = 0; attempt < 3; ++attempt) {
    ASSERT_EQ(WriteBlock(0x1000, block), FT_OK);
    std::vector<std::uint8_t> expected = block;
    expected[5] ^= 0x40;
    ASSERT_EQ(FlashHex(0x2000, 2048), Hex(expected)) << "attempt " << attempt;
  }
}

TEST_F(FaultTest, BadProgrammingLeavesOneWrongByteThatStays) {
  board.Faults().SetRandom(7, {.badProgram = 1.0});
  const std::vector<std::uint8_t> block = Pattern(2048, 0x20);
  ASSERT_EQ(WriteBlock(0x1000, block), FT_OK);
  const std::string once = FlashHex(0x2000, 2048);
  int wrongBytes = 0;
  const std::vector<std::uint8_t> flash = Bytes(once);
  for (std::size_t i = 0; i < block.size(); ++i) wrongBytes += flash[i] != block[i];
  EXPECT_EQ(wrongBytes, 1);
  Send("5246 001000 0200");
  EXPECT_EQ(Read(2048), once) << "persistent: every read-back sees the same wrong byte";
}

struct UnplugCase {
  int at;
  std::vector<FT_STATUS> statuses;  // open, timeouts, write, read, purge, close, reopen
};

class UnplugTest : public ::testing::TestWithParam<UnplugCase> {};

TEST_P(UnplugTest, FailsEveryCallFromTheNamedOneOnAsARemovedDeviceDoes) {
  RawBoard raw;
  raw.board.Faults().UnplugAt(GetParam().at);
  D2xx& port = raw.port;
  FT_HANDLE handle = 0;
  std::vector<FT_STATUS> statuses;
  statuses.push_back(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle));
  raw.handle = handle;
  statuses.push_back(port.FT_SetTimeouts(handle, 100, 0));
  statuses.push_back(raw.Send("5349"));
  FT_STATUS readStatus = FT_OK;
  raw.Read(4, &readStatus);
  statuses.push_back(readStatus);
  statuses.push_back(port.FT_Purge(handle, FT_PURGE_RX | FT_PURGE_TX));
  statuses.push_back(port.FT_Close(handle));
  statuses.push_back(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle));
  EXPECT_EQ(statuses, GetParam().statuses);
}

constexpr FT_STATUS kGone = FT_DEVICE_NOT_FOUND;
constexpr FT_STATUS kBad = FT_INVALID_HANDLE;

INSTANTIATE_TEST_SUITE_P(FromCall, UnplugTest,
                         ::testing::Values(UnplugCase{0, {kOk, kOk, kOk, kOk, kOk, kOk, kOk}},
                                           UnplugCase{1,
                                                      {kGone, kBad, kBad, kBad, kBad, kBad, kGone}},
                                           UnplugCase{3, {kOk, kOk, kIo, kIo, kIo, kOk, kGone}},
                                           UnplugCase{4, {kOk, kOk, kOk, kIo, kIo, kOk, kGone}},
                                           UnplugCase{7, {kOk, kOk, kOk, kOk, kOk, kOk, kGone}}));

std::string RandomRun(std::uint64_t seed) {
  RawBoard raw;
  raw.Open();
  raw.board.Faults().SetRandom(seed, {.failStatus = 0.1,
                                      .ioErrorWithBytes = 0.1,
                                      .noData = 0.1,
                                      .splitReply = 0.1,
                                      .bitFlip = 0.1,
                                      .badProgram = 0.5});
  for (int i = 0; i < 40; ++i) {
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

TEST(RandomFaultTest, EveryKindOccursAtItsRate) {
  RawBoard raw;
  raw.Open();
  raw.board.Faults().SetRandom(1, {.failStatus = 0.2, .splitReply = 0.2});
  int failed = 0;
  int split = 0;
  for (int i = 0; i < 1000; ++i) {
    raw.Send("5349");
    FT_STATUS status = FT_OK;
    const std::string got = raw.Read(4, &status);
    failed += status != FT_OK;
    split += status == FT_OK && got.size() == 2;
    raw.port.FT_Purge(raw.handle, FT_PURGE_RX | FT_PURGE_TX);
  }
  EXPECT_NEAR(failed, 200, 50);
  EXPECT_NEAR(split, 160, 50);  // 0.8 x 0.2 of the reads that did not fail
}

}  // namespace
}  // namespace tlx::test
