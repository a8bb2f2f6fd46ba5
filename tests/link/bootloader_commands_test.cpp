// The four bootloader commands: their frames byte for byte, where their data goes, and
// what each failure leaves behind.
#include <gtest/gtest.h>

#include <functional>

#include "link_fixture.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;

using Command = std::function<void(TLXModule&)>;

Command Ex(std::int32_t value) {
  return [value](TLXModule& link) {
    link.ExValue = value;
    link.SendEX();
  };
}

Command Block(void (TLXModule::*transfer)(), std::int32_t address, std::int32_t count,
              std::int32_t offset = 8) {
  return [=](TLXModule& link) {
    link.FlashAddress = address;
    link.BlockCount = count;
    link.ImageOffset = offset;
    (link.*transfer)();
  };
}

struct FrameCase {
  const char* name;
  Command command;
  std::vector<std::string> writes;
};

class FrameTest : public LinkOnBoard, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, SendsExactlyTheseWrites) {
  Open();
  GetParam().command(link);
  EXPECT_EQ(WrittenSinceOpen(), GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FrameTest,
    ::testing::Values(FrameCase{"SI", [](TLXModule& link) { link.QueryStatus(); }, {"5349"}},
                      FrameCase{"EX1998", Ex(1998), {"455807ce"}},
                      FrameCase{"EX1068", Ex(1068), {"4558042c"}},
                      FrameCase{"RFThreeAddressBytes",
                                Block(&TLXModule::ReadFlashBlock, 0x123456, 0x0102),
                                {"52461234560102"}},
                      FrameCase{"WFTwoEntries",
                                Block(&TLXModule::WriteFlashBlock, 0x010203, 2),
                                {"5746010203", "0000000000000000"}}),
    [](const auto& info) { return std::string(info.param.name); });

class FailedFrameTest : public LinkOnBoard,
                        public ::testing::WithParamInterface<void (TLXModule::*)()> {};

TEST_P(FailedFrameTest, IsFollowedByNoTransferAndLeavesImageAndFlash) {
  Open();
  board.Flash()[0] = 0x12;
  image[8] = 0x34;
  board.Faults().Add({.call = D2xxCall::Write, .status = FT_IO_ERROR});
  Block(GetParam(), 0, 512)(link);
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(FT_IO_ERROR));
  EXPECT_EQ(CallsSinceOpen(D2xxCall::Write).size(), 1u);
  EXPECT_TRUE(CallsSinceOpen(D2xxCall::Read).empty());
  EXPECT_EQ(image[8], 0x34);
  EXPECT_EQ(board.Flash()[0], 0x12);
}

INSTANTIATE_TEST_SUITE_P(BlockCommands, FailedFrameTest,
                         ::testing::Values(&TLXModule::ReadFlashBlock, &TLXModule::WriteFlashBlock),
                         [](const auto& info) {
                           return std::string(info.index == 0 ? "RF" : "WF");
                         });

struct StatusCase {
  const char* name;
  sim::BoardConfig board;
  std::vector<sim::ScriptedFault> faults;
  std::int32_t linkStatus;
  VersionPair hardware;
  VersionPair firmware;
};

class StatusQueryTest : public ::testing::TestWithParam<StatusCase> {};

// Versions held before the query are 3.4 and 1.2. A reply that is not "KV" is no link
// failure; it and a failed reply clear the hardware version only.
TEST_P(StatusQueryTest, DecodesOrClearsTheVersions) {
  const StatusCase& c = GetParam();
  sim::SimulatedBoard board(c.board);
  for (const sim::ScriptedFault& fault : c.faults) board.Faults().Add(fault);
  std::vector<std::uint8_t> image(65544);
  TLXModule link(board.Port(), image);
  link.OpenDevice();
  link.HardwareVersion = {3, 4};
  link.FirmwareVersion = {1, 2};
  link.QueryStatus();
  EXPECT_EQ(link.LinkStatus, c.linkStatus);
  EXPECT_EQ(link.HardwareVersion, c.hardware);
  EXPECT_EQ(link.FirmwareVersion, c.firmware);
}

const sim::ScriptedFault kWriteFails{.call = D2xxCall::Write, .status = FT_IO_ERROR};
const sim::ScriptedFault kNoReply{.call = D2xxCall::Read, .kind = FaultKind::NoData};

INSTANTIATE_TEST_SUITE_P(
    Replies, StatusQueryTest,
    ::testing::Values(
        StatusCase{
            "Versions21And13", {.hardwareByte = 0x21, .firmwareByte = 0x13}, {}, 0, {2, 1}, {1, 3}},
        StatusCase{
            "VersionsFF", {.hardwareByte = 0xFF, .firmwareByte = 0xFF}, {}, 0, {15, 15}, {15, 15}},
        StatusCase{"Versions10And0F",
                   {.hardwareByte = 0x10, .firmwareByte = 0x0F},
                   {},
                   0,
                   {1, 0},
                   {0, 15}},
        StatusCase{"WrongTagLowerCase", {.statusTag = {'k', 'v'}}, {}, 0, {0, 0}, {1, 2}},
        StatusCase{"WrongTagSwapped", {.statusTag = {'V', 'K'}}, {}, 0, {0, 0}, {1, 2}},
        StatusCase{"WrongTagSecondByte", {.statusTag = {'K', 'W'}}, {}, 0, {0, 0}, {1, 2}},
        StatusCase{"WriteFailureKeepsBoth", {}, {kWriteFails}, 4, {3, 4}, {1, 2}},
        StatusCase{"ReplyFailureClearsHardware", {}, {kNoReply}, kReadLoopFailed, {0, 0}, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tlx::test
