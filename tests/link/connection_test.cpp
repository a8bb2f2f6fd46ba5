// Opening and closing the connection, and the raw transfers' read loop.
#include <gtest/gtest.h>

#include "link_fixture.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;

std::vector<D2xxCall> CallsOf(const std::vector<sim::TraceEntry>& entries) {
  std::vector<D2xxCall> calls;
  for (const sim::TraceEntry& entry : entries) calls.push_back(entry.call);
  return calls;
}

using ConnectionTest = LinkOnBoard;

TEST_F(ConnectionTest, OpenNamesTheBoardAndConfiguresTheBridge) {
  Open();
  const auto& calls = board.CallTrace().Entries();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].call, D2xxCall::OpenEx);
  EXPECT_EQ(calls[0].description, "Tambrelux Pro");
  EXPECT_EQ(calls[0].flags, FT_OPEN_BY_DESCRIPTION);
  EXPECT_EQ(calls[1].call, D2xxCall::SetTimeouts);
  EXPECT_EQ(calls[1].readTimeout, 100u);
  EXPECT_EQ(calls[1].writeTimeout, 0u);
  EXPECT_EQ(calls[2].call, D2xxCall::SetLatencyTimer);
  EXPECT_EQ(calls[2].latencyMs, 2u);
  EXPECT_EQ(calls[3].call, D2xxCall::SetUSBParameters);
  EXPECT_EQ(calls[3].inSize, 65536u);
  EXPECT_EQ(calls[3].outSize, 65536u);
  EXPECT_NE(link.DeviceHandle, 0u);
  EXPECT_EQ(link.DeviceOpen, kTrue);
  EXPECT_EQ(link.DeviceDescription, std::string("Tambrelux Pro\0", 14));
}

TEST_F(ConnectionTest, FailedOpenMakesNoConfigurationCall) {
  board.Faults().UnplugAt(1);
  link.OpenDevice();
  EXPECT_EQ(CallsOf(board.CallTrace().Entries()), std::vector{D2xxCall::OpenEx});
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(FT_DEVICE_NOT_FOUND));
  EXPECT_EQ(link.DeviceHandle, 0u);
  EXPECT_EQ(link.DeviceOpen, kFalse);
}

struct ConfigFailure {
  D2xxCall failing;
  FT_STATUS status;
  std::vector<D2xxCall> expectedCalls;
};

class ConfigFailureTest : public LinkOnBoard,
                          public ::testing::WithParamInterface<ConfigFailure> {};

TEST_P(ConfigFailureTest, ClosesAgainAndKeepsTheFailingStatus) {
  const ConfigFailure& c = GetParam();
  board.Faults().Add({.call = c.failing, .status = c.status});
  link.OpenDevice();
  EXPECT_EQ(CallsOf(board.CallTrace().Entries()), c.expectedCalls);
  EXPECT_EQ(board.CallTrace().Entries().back().status, FT_OK);  // the close itself
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(c.status));
  EXPECT_EQ(link.DeviceHandle, 0u);
  EXPECT_EQ(link.DeviceOpen, kFalse);
}

INSTANTIATE_TEST_SUITE_P(
    EachConfigurationCall, ConfigFailureTest,
    ::testing::Values(ConfigFailure{D2xxCall::SetTimeouts,
                                    FT_IO_ERROR,
                                    {D2xxCall::OpenEx, D2xxCall::SetTimeouts, D2xxCall::Close}},
                      ConfigFailure{D2xxCall::SetLatencyTimer,
                                    FT_INVALID_PARAMETER,
                                    {D2xxCall::OpenEx, D2xxCall::SetTimeouts,
                                     D2xxCall::SetLatencyTimer, D2xxCall::Close}},
                      ConfigFailure{
                          D2xxCall::SetUSBParameters,
                          FT_OTHER_ERROR,
                          {D2xxCall::OpenEx, D2xxCall::SetTimeouts, D2xxCall::SetLatencyTimer,
                           D2xxCall::SetUSBParameters, D2xxCall::Close}}));

TEST_F(ConnectionTest, CloseWithoutHandleMakesNoCallAndClearsBothFields) {
  link.DeviceOpen = kTrue;
  link.LinkStatus = 5;
  link.CloseDevice();
  EXPECT_TRUE(board.CallTrace().Entries().empty());
  EXPECT_EQ(link.DeviceOpen, kFalse);
  EXPECT_EQ(link.DeviceHandle, 0u);
  EXPECT_EQ(link.LinkStatus, 5);
}

TEST_F(ConnectionTest, CloseReleasesTheHandleAndLeavesLinkStatus) {
  Open();
  const FT_HANDLE handle = link.DeviceHandle;
  link.LinkStatus = 8;
  link.CloseDevice();
  EXPECT_EQ(board.CallTrace().Entries().back().call, D2xxCall::Close);
  EXPECT_EQ(board.CallTrace().Entries().back().status, FT_OK);
  EXPECT_EQ(link.LinkStatus, 8);
  EXPECT_EQ(link.DeviceHandle, 0u);
  DWORD written = 0;
  const std::uint8_t byte = 0;
  EXPECT_EQ(board.Port().FT_Write(handle, &byte, 1, &written), FT_INVALID_HANDLE);
}

struct ReadLoopCase {
  const char* name;
  std::vector<ScriptedFault> faults;
  std::int32_t linkStatus;
  Flag16 noData;
  Flag16 readError;
  std::int32_t receivedTotal;
  std::vector<DWORD> requested;
};

class ReadLoopTest : public LinkOnBoard, public ::testing::WithParamInterface<ReadLoopCase> {};

// The status reply is the read loop's material: "SI" queues 4 bytes on the board.
TEST_P(ReadLoopTest, ClassifiesEachRead) {
  const ReadLoopCase& c = GetParam();
  Open();
  for (const ScriptedFault& fault : c.faults) board.Faults().Add(fault);
  MarkTrace();
  link.WriteLength = 2;
  link.CommandBuffer[0] = 'S';
  link.CommandBuffer[1] = 'I';
  link.SendCommand();
  link.ReadLength = 4;
  link.ReceiveReply();
  EXPECT_EQ(link.LinkStatus, c.linkStatus);
  EXPECT_EQ(link.NoDataFlag, c.noData);
  EXPECT_EQ(link.ReadErrorFlag, c.readError);
  EXPECT_EQ(link.ReceivedTotal, c.receivedTotal);
  EXPECT_EQ(ReadsRequestedSinceMark(), c.requested);
}

const ScriptedFault kSplitFirstRead{.call = D2xxCall::Read, .kind = FaultKind::SplitReply};

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ReadLoopTest,
    ::testing::Values(
        ReadLoopCase{"AllAtOnce", {}, 0, kFalse, kFalse, 4, {4}},
        ReadLoopCase{"OneThenThree", {kSplitFirstRead}, 0, kFalse, kFalse, 4, {4, 3}},
        ReadLoopCase{"Status4WithAllBytes",
                     {{.call = D2xxCall::Read, .kind = FaultKind::IoErrorWithBytes}},
                     4,
                     kFalse,
                     kFalse,
                     4,
                     {4}},
        ReadLoopCase{"Status4OnTheCompletingRead",
                     {kSplitFirstRead,
                      {.call = D2xxCall::Read, .first = 2, .kind = FaultKind::IoErrorWithBytes}},
                     4,
                     kFalse,
                     kFalse,
                     4,
                     {4, 3}},
        ReadLoopCase{"Silent",
                     {{.call = D2xxCall::Read, .kind = FaultKind::NoData}},
                     kReadLoopFailed,
                     kTrue,
                     kFalse,
                     0,
                     {4}},
        ReadLoopCase{
            "SilentAfterOneByte",
            {kSplitFirstRead, {.call = D2xxCall::Read, .first = 2, .kind = FaultKind::NoData}},
            kReadLoopFailed,
            kTrue,
            kFalse,
            1,
            {4, 3}},
        ReadLoopCase{"OtherStatus",
                     {{.call = D2xxCall::Read, .status = FT_OTHER_ERROR}},
                     kReadLoopFailed,
                     kFalse,
                     kTrue,
                     0,
                     {4}},
        ReadLoopCase{"OtherStatusAfterOneByte",
                     {kSplitFirstRead,
                      {.call = D2xxCall::Read, .first = 2, .status = FT_INSUFFICIENT_RESOURCES}},
                     kReadLoopFailed,
                     kFalse,
                     kTrue,
                     1,
                     {4, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

// The board has nothing queued, so the failing read can carry status 4 and no bytes.
TEST_F(ConnectionTest, Status4WithoutBytesCountsAsNoData) {
  Open();
  board.Faults().Add({.call = D2xxCall::Read, .kind = FaultKind::IoErrorWithBytes});
  link.ReadLength = 4;
  link.ReceiveReply();
  EXPECT_EQ(board.CallTrace().Entries().back().status, FT_IO_ERROR);
  EXPECT_EQ(link.LinkStatus, kReadLoopFailed);
  EXPECT_EQ(link.NoDataFlag, kTrue);
  EXPECT_EQ(link.ReadErrorFlag, kFalse);
}

TEST_F(ConnectionTest, ShortReplyLeavesSpacesBehindWhatArrived) {
  Open();
  link.ReplyBuffer.fill(0xAA);
  board.Faults().Add(kSplitFirstRead);
  board.Faults().Add({.call = D2xxCall::Read, .first = 2, .kind = FaultKind::NoData});
  link.QueryStatus();
  EXPECT_EQ(link.ReceivedTotal, 1);
  EXPECT_EQ(link.ReplyBuffer[0], 'K');
  for (std::size_t i = 1; i < link.ReplyBuffer.size(); ++i)
    ASSERT_EQ(link.ReplyBuffer[i], ' ') << "at " << i;
}

TEST_F(ConnectionTest, SendCommandSendsOnlyTheFrameNotTheSpacesBehindIt) {
  Open();
  MarkTrace();
  link.CommandBuffer.fill(' ');
  link.CommandBuffer[0] = 'E';
  link.CommandBuffer[1] = 'X';
  link.CommandBuffer[2] = 0x07;
  link.WriteLength = 3;
  link.BytesWritten = 99;
  link.SendCommand();
  EXPECT_EQ(WrittenSinceMark(), std::vector<std::string>{"455807"});
  EXPECT_EQ(link.BytesWritten, 3);
  EXPECT_EQ(link.LinkStatus, 0);
}

}  // namespace
}  // namespace tlx::test
