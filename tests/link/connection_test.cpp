// Opening and closing the connection, and the raw transfers' read loop.
#include <gtest/gtest.h>

#include <algorithm>

#include "link_fixture.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;
using sim::ScriptedFault;

const std::vector<D2xxCall> kOpenSequence{D2xxCall::OpenEx, D2xxCall::SetTimeouts,
                                          D2xxCall::SetLatencyTimer, D2xxCall::SetUSBParameters};

std::vector<D2xxCall> CallsOf(const sim::Trace& trace) {
  std::vector<D2xxCall> calls;
  for (const sim::TraceEntry& entry : trace.Entries()) calls.push_back(entry.call);
  return calls;
}

using ConnectionTest = LinkOnBoard;

// The arguments of each call are pinned down by the trace tests.
TEST_F(ConnectionTest, OpenConfiguresTheBridgeAndKeepsTheHandle) {
  Open();
  EXPECT_EQ(CallsOf(board.CallTrace()), kOpenSequence);
  EXPECT_NE(link.DeviceHandle, 0u);
  EXPECT_EQ(link.DeviceOpen, kTrue);
  EXPECT_EQ(link.DeviceDescription, std::string("Tambrelux Pro\0", 14));
}

TEST_F(ConnectionTest, FailedOpenMakesNoConfigurationCall) {
  board.Faults().UnplugAt(1);
  link.OpenDevice();
  EXPECT_EQ(CallsOf(board.CallTrace()), std::vector{D2xxCall::OpenEx});
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(FT_DEVICE_NOT_FOUND));
  EXPECT_EQ(link.DeviceHandle, 0u);
  EXPECT_EQ(link.DeviceOpen, kFalse);
}

class ConfigFailureTest : public LinkOnBoard,
                          public ::testing::WithParamInterface<std::pair<D2xxCall, FT_STATUS>> {};

TEST_P(ConfigFailureTest, ClosesAgainAndKeepsTheFailingStatus) {
  const auto [failing, status] = GetParam();
  board.Faults().Add({.call = failing, .status = status});
  link.OpenDevice();
  std::vector<D2xxCall> expected(
      kOpenSequence.begin(), std::find(kOpenSequence.begin(), kOpenSequence.end(), failing) + 1);
  expected.push_back(D2xxCall::Close);
  EXPECT_EQ(CallsOf(board.CallTrace()), expected);
  EXPECT_EQ(board.CallTrace().Entries().back().status, FT_OK);
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(status));
  EXPECT_EQ(link.DeviceHandle, 0u);
  EXPECT_EQ(link.DeviceOpen, kFalse);
}

INSTANTIATE_TEST_SUITE_P(
    EachConfigurationCall, ConfigFailureTest,
    ::testing::Values(std::pair{D2xxCall::SetTimeouts, FT_IO_ERROR},
                      std::pair{D2xxCall::SetLatencyTimer, FT_INVALID_PARAMETER},
                      std::pair{D2xxCall::SetUSBParameters, FT_OTHER_ERROR}),
    [](const auto& info) { return std::string(sim::CallName(info.param.first)); });

TEST_F(ConnectionTest, CloseWithoutHandleMakesNoCallAndClearsBothFields) {
  link.DeviceOpen = kTrue;
  link.LinkStatus = 5;
  link.CloseDevice();
  EXPECT_TRUE(board.CallTrace().Entries().empty());
  EXPECT_EQ(link.DeviceOpen, kFalse);
  EXPECT_EQ(link.LinkStatus, 5);
}

TEST_F(ConnectionTest, CloseReleasesTheHandleAndLeavesLinkStatus) {
  Open();
  const FT_HANDLE handle = link.DeviceHandle;
  link.LinkStatus = 8;
  link.CloseDevice();
  EXPECT_EQ(CallsSinceOpen(D2xxCall::Close).size(), 1u);
  EXPECT_EQ(link.LinkStatus, 8);
  EXPECT_EQ(link.DeviceHandle, 0u);
  EXPECT_EQ(board.Port().FT_Purge(handle, FT_PURGE_RX), FT_INVALID_HANDLE);
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
  std::vector<DWORD> requested;
  for (const sim::TraceEntry& read : CallsSinceOpen(D2xxCall::Read))
    requested.push_back(read.requested);
  EXPECT_EQ(requested, c.requested);
}

const ScriptedFault kSplitFirst{.call = D2xxCall::Read, .kind = FaultKind::SplitReply};
const ScriptedFault kSecondSilent{.call = D2xxCall::Read, .first = 2, .kind = FaultKind::NoData};
const ScriptedFault kStatus4WithBytes{.call = D2xxCall::Read, .kind = FaultKind::IoErrorWithBytes};
const ScriptedFault kStatus4Only{.call = D2xxCall::Read, .status = FT_IO_ERROR};
const ScriptedFault kOtherStatus{.call = D2xxCall::Read, .status = FT_OTHER_ERROR};
constexpr std::int32_t kFailed = kReadLoopFailed;

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ReadLoopTest,
    ::testing::Values(
        ReadLoopCase{"AllAtOnce", {}, 0, kFalse, kFalse, 4, {4}},
        ReadLoopCase{"OneThenThree", {kSplitFirst}, 0, kFalse, kFalse, 4, {4, 3}},
        ReadLoopCase{"Status4WithAllBytes", {kStatus4WithBytes}, 4, kFalse, kFalse, 4, {4}},
        ReadLoopCase{"Status4WithNoBytes", {kStatus4Only}, kFailed, kTrue, kFalse, 0, {4}},
        ReadLoopCase{"Silent", {{.kind = FaultKind::NoData}}, kFailed, kTrue, kFalse, 0, {4}},
        ReadLoopCase{
            "SilentAfterOneByte", {kSplitFirst, kSecondSilent}, kFailed, kTrue, kFalse, 1, {4, 3}},
        ReadLoopCase{"OtherStatus", {kOtherStatus}, kFailed, kFalse, kTrue, 0, {4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, ShortReplyLeavesSpacesBehindWhatArrived) {
  Open();
  link.ReplyBuffer.fill(0xAA);
  board.Faults().Add(kSplitFirst);
  board.Faults().Add(kSecondSilent);
  link.QueryStatus();
  EXPECT_EQ(link.ReceivedTotal, 1);
  EXPECT_EQ(link.ReplyBuffer[0], 'K');
  for (std::size_t i = 1; i < link.ReplyBuffer.size(); ++i)
    ASSERT_EQ(link.ReplyBuffer[i], ' ') << "at " << i;
}

}  // namespace
}  // namespace tlx::test
