// The simulated bridge's D2XX behaviour: finding the board, handles, read timeouts and
// parameter checks, and the time each call costs by the model.
#include <gtest/gtest.h>

#include <functional>

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

INSTANTIATE_TEST_SUITE_P(
    Descriptions, OpenTest,
    ::testing::Values(
        OpenCase{"Exact", "Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, FT_OK},
        OpenCase{"BySerialNumber", "Tambrelux Pro", FT_OPEN_BY_SERIAL_NUMBER, FT_DEVICE_NOT_FOUND},
        OpenCase{"NoFlags", "Tambrelux Pro", 0, FT_DEVICE_NOT_FOUND},
        OpenCase{"LowerCase", "tambrelux pro", FT_OPEN_BY_DESCRIPTION, FT_DEVICE_NOT_FOUND},
        OpenCase{"TrailingBlank", "Tambrelux Pro ", FT_OPEN_BY_DESCRIPTION, FT_DEVICE_NOT_FOUND},
        OpenCase{"Prefix", "Tambrelux", FT_OPEN_BY_DESCRIPTION, FT_DEVICE_NOT_FOUND},
        OpenCase{"Empty", "", FT_OPEN_BY_DESCRIPTION, FT_DEVICE_NOT_FOUND}),
    [](const auto& info) { return std::string(info.param.name); });

using HandleCall = std::function<FT_STATUS(D2xx&, FT_HANDLE)>;

const std::vector<std::pair<const char*, HandleCall>>& EveryHandleCall() {
  static const std::vector<std::pair<const char*, HandleCall>> calls{
      {"FT_SetTimeouts", [](D2xx& d, FT_HANDLE h) { return d.FT_SetTimeouts(h, 100, 0); }},
      {"FT_SetLatencyTimer", [](D2xx& d, FT_HANDLE h) { return d.FT_SetLatencyTimer(h, 2); }},
      {"FT_SetUSBParameters",
       [](D2xx& d, FT_HANDLE h) { return d.FT_SetUSBParameters(h, 65536, 65536); }},
      {"FT_Write",
       [](D2xx& d, FT_HANDLE h) {
         const std::uint8_t frame[] = {'S', 'I'};
         DWORD written = 0;
         return d.FT_Write(h, frame, 2, &written);
       }},
      {"FT_Read",
       [](D2xx& d, FT_HANDLE h) {
         std::uint8_t buffer[4];
         DWORD received = 0;
         return d.FT_Read(h, buffer, 4, &received);
       }},
      {"FT_Purge", [](D2xx& d, FT_HANDLE h) { return d.FT_Purge(h, FT_PURGE_RX | FT_PURGE_TX); }},
      {"FT_Close", [](D2xx& d, FT_HANDLE h) { return d.FT_Close(h); }},
  };
  return calls;
}

class HandleTest : public ::testing::Test, public RawBoard {};

TEST_F(HandleTest, EveryCallRefusesAHandleThatIsNotOpen) {
  Open();
  const FT_HANDLE closed = handle;
  ASSERT_EQ(port.FT_Close(closed), FT_OK);
  FT_HANDLE reopened = 0;
  ASSERT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &reopened), FT_OK);
  ASSERT_NE(reopened, closed);
  for (const auto& [name, call] : EveryHandleCall())
    for (FT_HANDLE wrong : {FT_HANDLE{0}, closed, reopened + 1})
      EXPECT_EQ(call(port, wrong), FT_INVALID_HANDLE) << name << " on handle " << wrong;
  for (const auto& [name, call] : EveryHandleCall()) EXPECT_EQ(call(port, reopened), FT_OK) << name;
}

TEST_F(HandleTest, ASecondOpenIsRefusedWhileTheBoardIsHeld) {
  Open();
  FT_HANDLE second = 0;
  EXPECT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &second), FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(second, 0u);
}

TEST_F(HandleTest, ConfigurationValuesOutsideTheBridgesRangeAreRefused) {
  Open();
  EXPECT_EQ(port.FT_SetLatencyTimer(handle, 1), FT_INVALID_PARAMETER);
  EXPECT_EQ(port.FT_SetLatencyTimer(handle, 255), FT_OK);
  EXPECT_EQ(port.FT_SetUSBParameters(handle, 100, 65536), FT_INVALID_PARAMETER);
  EXPECT_EQ(port.FT_SetUSBParameters(handle, 65536 + 64, 65536), FT_INVALID_PARAMETER);
  EXPECT_EQ(port.FT_SetUSBParameters(handle, 64, 64), FT_OK);
}

class ReadTimeoutTest : public ::testing::Test, public RawBoard {};

TEST_F(ReadTimeoutTest, ASilentBoardCostsTheReadTimeoutInModelTime) {
  Open();
  const double before = board.ModelMilliseconds();
  FT_STATUS status = FT_OTHER_ERROR;
  EXPECT_EQ(Read(4, &status), "");
  EXPECT_EQ(status, FT_OK);
  EXPECT_DOUBLE_EQ(board.ModelMilliseconds() - before, 100.0);
}

TEST_F(ReadTimeoutTest, AShortReplyArrivesWhenTheTimeoutEnds) {
  Open();
  Send("5349");
  const double before = board.ModelMilliseconds();
  FT_STATUS status = FT_OTHER_ERROR;
  EXPECT_EQ(Read(6, &status), kStatusReply);
  EXPECT_EQ(status, FT_OK);
  EXPECT_DOUBLE_EQ(board.ModelMilliseconds() - before, 100.0);
}

TEST_F(ReadTimeoutTest, ARepliedReadCostsTheLatencyTimerAndTheTransfer) {
  Open();
  ASSERT_EQ(port.FT_SetLatencyTimer(handle, 2), FT_OK);
  Send("5349");
  const double before = board.ModelMilliseconds();
  EXPECT_EQ(Read(4), kStatusReply);
  EXPECT_DOUBLE_EQ(board.ModelMilliseconds() - before, 2.004);
}

// Without a read timeout the library would wait for ever; the board cannot answer while
// the host waits, so the short read ends at once and says so.
TEST_F(ReadTimeoutTest, AShortReadWithoutATimeoutFails) {
  ASSERT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
  Send("5349");
  FT_STATUS status = FT_OK;
  EXPECT_EQ(Read(8, &status), kStatusReply);
  EXPECT_EQ(status, FT_OTHER_ERROR);
}

TEST(PacingModelTest, ABlockWriteCostsItsTransferAndTheProgrammingTime) {
  RawBoard raw;
  raw.Open();
  const double before = raw.board.ModelMilliseconds();
  ASSERT_EQ(raw.WriteBlock(0, Pattern(2048, 0)), FT_OK);
  EXPECT_NEAR(raw.board.ModelMilliseconds() - before, 0.005 + 2.048 + 4.0, 1e-9);
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
