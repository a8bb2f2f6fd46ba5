// The simulated bridge's D2XX behaviour: finding the board, handles, read timeouts and
// parameter checks, and the time each call costs by the model.
#include <gtest/gtest.h>

#include "board_fixture.h"

namespace tlx::test {
namespace {

struct OpenCase {
  const char* name;
  const char* description;
  DWORD flags;
  FT_STATUS status;
};

class OpenTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenTest, FindsOnlyTheBoardByItsDescription) {
  const OpenCase& c = GetParam();
  sim::SimulatedBoard board;
  FT_HANDLE handle = 0;
  EXPECT_EQ(board.Port().FT_OpenEx(c.description, c.flags, &handle), c.status);
  EXPECT_EQ(handle != 0, c.status == FT_OK);
}

constexpr FT_STATUS kNotFound = FT_DEVICE_NOT_FOUND;
constexpr DWORD kByDescription = FT_OPEN_BY_DESCRIPTION;

INSTANTIATE_TEST_SUITE_P(
    Descriptions, OpenTest,
    ::testing::Values(OpenCase{"Exact", "Tambrelux Pro", kByDescription, FT_OK},
                      OpenCase{"BySerialNumber", "Tambrelux Pro", FT_OPEN_BY_SERIAL_NUMBER,
                               kNotFound},
                      OpenCase{"LowerCase", "tambrelux pro", kByDescription, kNotFound},
                      OpenCase{"TrailingBlank", "Tambrelux Pro ", kByDescription, kNotFound},
                      OpenCase{"Prefix", "Tambrelux", kByDescription, kNotFound}),
    CaseName);

TEST_F(BoardTest, EveryCallRefusesAHandleThatIsNotOpen) {
  const FT_HANDLE closed = handle;
  ASSERT_EQ(port.FT_Close(closed), FT_OK);
  FT_HANDLE reopened = 0;
  ASSERT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &reopened), FT_OK);
  ASSERT_NE(reopened, closed);
  for (FT_HANDLE wrong : {FT_HANDLE{0}, closed, reopened + 1})
    EXPECT_EQ(CallEachOn(wrong), std::vector<FT_STATUS>(7, FT_INVALID_HANDLE)) << wrong;
  EXPECT_EQ(CallEachOn(reopened), std::vector<FT_STATUS>(7, FT_OK));
}

TEST_F(BoardTest, ASecondOpenIsRefusedWhileTheBoardIsHeld) {
  FT_HANDLE second = 0;
  EXPECT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &second), FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(second, 0u);
}

TEST_F(BoardTest, ConfigurationValuesOutsideTheBridgesRangeAreRefused) {
  EXPECT_EQ(port.FT_SetLatencyTimer(handle, 1), FT_INVALID_PARAMETER);
  EXPECT_EQ(port.FT_SetLatencyTimer(handle, 255), FT_OK);
  EXPECT_EQ(port.FT_SetUSBParameters(handle, 100, 65536), FT_INVALID_PARAMETER);
  EXPECT_EQ(port.FT_SetUSBParameters(handle, 65536 + 64, 65536), FT_INVALID_PARAMETER);
  EXPECT_EQ(port.FT_SetUSBParameters(handle, 64, 64), FT_OK);
}

struct ReadTimingCase {
  const char* name;
  const char* sent;
  DWORD requested;
  std::string reply;
  double modelMs;
};

using ReadTimingTest = BoardTestWith<ReadTimingCase>;

// A read waits out the 100 ms timeout unless all it asked for arrived; a full read costs
// the 2 ms latency timer and a microsecond per byte.
TEST_P(ReadTimingTest, CostsTheTimeoutOrTheLatencyAndTransfer) {
  const ReadTimingCase& c = GetParam();
  ASSERT_EQ(port.FT_SetLatencyTimer(handle, 2), FT_OK);
  Send(c.sent);
  const double before = board.ModelMilliseconds();
  FT_STATUS status = FT_OTHER_ERROR;
  EXPECT_EQ(Read(c.requested, &status), c.reply);
  EXPECT_EQ(status, FT_OK);
  EXPECT_DOUBLE_EQ(board.ModelMilliseconds() - before, c.modelMs);
}

INSTANTIATE_TEST_SUITE_P(Reads, ReadTimingTest,
                         ::testing::Values(ReadTimingCase{"Silent", "", 4, "", 100.0},
                                           ReadTimingCase{"Short", "5349", 6, kStatusReply, 100.0},
                                           ReadTimingCase{"Full", "5349", 4, kStatusReply, 2.004}),
                         CaseName);

// Without a read timeout the library would wait for ever; the board cannot answer while
// the host waits, so the short read ends at once and says so.
TEST(ReadTimeoutTest, AShortReadWithoutATimeoutFails) {
  RawBoard raw;
  ASSERT_EQ(raw.port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &raw.handle), FT_OK);
  raw.Send("5349");
  FT_STATUS status = FT_OK;
  EXPECT_EQ(raw.Read(8, &status), kStatusReply);
  EXPECT_EQ(status, FT_OTHER_ERROR);
}

TEST_F(BoardTest, ABlockWriteCostsItsTransferAndTheProgrammingTime) {
  const double before = board.ModelMilliseconds();
  ASSERT_EQ(WriteBlock(0, Pattern(2048, 0)), FT_OK);
  EXPECT_NEAR(board.ModelMilliseconds() - before, 0.005 + 2.048 + 4.0, 1e-9);
}

TEST(PacingModelTest, TheRealisticPaceCountsTheSameModelTime) {
  sim::SimulatedBoard instant;
  sim::SimulatedBoard realistic({}, sim::Pace::Realistic);
  for (sim::SimulatedBoard* board : {&instant, &realistic}) {
    FT_HANDLE handle = 0;
    board->Port().FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle);
    board->Port().FT_SetTimeouts(handle, 5, 0);
    std::uint8_t buffer[4];
    DWORD received = 0;
    board->Port().FT_Read(handle, buffer, 4, &received);
  }
  EXPECT_DOUBLE_EQ(instant.ModelMilliseconds(), 1 + 1 + 5);
  EXPECT_DOUBLE_EQ(realistic.ModelMilliseconds(), instant.ModelMilliseconds());
}

}  // namespace
}  // namespace tlx::test
