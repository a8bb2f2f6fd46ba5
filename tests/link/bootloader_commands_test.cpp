// The four bootloader commands: their frames byte for byte, where their data goes, and
// what each failure leaves behind.
#include <gtest/gtest.h>

#include <functional>

#include "link_fixture.h"

namespace tlx::test {
namespace {

using sim::D2xxCall;
using sim::FaultKind;

struct FrameCase {
  const char* name;
  std::function<void(TLXModule&)> command;
  std::vector<std::string> writes;
};

class FrameTest : public LinkOnBoard, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, SendsExactlyTheseWrites) {
  Open();
  MarkTrace();
  GetParam().command(link);
  EXPECT_EQ(WrittenSinceMark(), GetParam().writes);
}

std::function<void(TLXModule&)> Ex(std::int32_t value) {
  return [value](TLXModule& link) {
    link.ExValue = value;
    link.SendEX();
  };
}

std::function<void(TLXModule&)> Rf(std::int32_t address, std::int32_t count) {
  return [address, count](TLXModule& link) {
    link.FlashAddress = address;
    link.BlockCount = count;
    link.ImageOffset = 8;
    link.ReadFlashBlock();
  };
}

std::function<void(TLXModule&)> Wf(std::int32_t address, std::int32_t count) {
  return [address, count](TLXModule& link) {
    link.FlashAddress = address;
    link.BlockCount = count;
    link.ImageOffset = 8;
    link.WriteFlashBlock();
  };
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FrameTest,
    ::testing::Values(
        FrameCase{"SI", [](TLXModule& link) { link.QueryStatus(); }, {"5349"}},
        FrameCase{"EX1998", Ex(1998), {"455807ce"}}, FrameCase{"EX1068", Ex(1068), {"4558042c"}},
        FrameCase{"EX0", Ex(0), {"45580000"}}, FrameCase{"EX65535", Ex(65535), {"4558ffff"}},
        FrameCase{"RF2048x512", Rf(2048, 512), {"52460008000200"}},
        FrameCase{"RFThreeAddressBytes", Rf(0x123456, 0x0102), {"52461234560102"}},
        FrameCase{"WF8192x512", Wf(8192, 512), {"5746002000", std::string(4096, '0')}},
        FrameCase{"WFTwoEntries", Wf(0x010203, 2), {"5746010203", "0000000000000000"}}),
    [](const auto& info) { return std::string(info.param.name); });

using CommandTest = LinkOnBoard;

TEST_F(CommandTest, ReadFlashBlockLandsTheBlockAtImageOffset) {
  Open();
  const std::vector<std::uint8_t> block = Pattern(2048, 0x31);
  std::copy(block.begin(), block.end(), board.Flash().begin() + 4096);  // address 2,048
  link.FlashAddress = 2048;
  link.BlockCount = 512;
  link.ImageOffset = 8 + 4096;
  link.ReadFlashBlock();
  EXPECT_EQ(link.LinkStatus, 0);
  EXPECT_EQ(Hex(std::span(image).subspan(8 + 4096, 2048)), Hex(block));
  EXPECT_EQ(image[8 + 4095], 0);
  EXPECT_EQ(image[8 + 4096 + 2048], 0);
  EXPECT_EQ(board.CallTrace().Of(D2xxCall::Read).front().requested, 2048u);
}

TEST_F(CommandTest, WriteFlashBlockSendsTheImageBytesInPlace) {
  Open();
  const std::vector<std::uint8_t> block = Pattern(2048, 0x52);
  link.ImageOffset = 8 + 16384;
  std::copy(block.begin(), block.end(), image.begin() + link.ImageOffset);
  link.FlashAddress = 8192;
  link.BlockCount = 512;
  link.WriteFlashBlock();
  EXPECT_EQ(link.LinkStatus, 0);
  EXPECT_EQ(link.WriteLength, 2048);
  EXPECT_EQ(Hex(board.CallTrace().Of(D2xxCall::Write).back().data), Hex(block));
  EXPECT_EQ(Hex(board.Flash().subspan(16384, 2048)), Hex(block));
  EXPECT_TRUE(board.CallTrace().Of(D2xxCall::Read).empty());
}

TEST_F(CommandTest, FailedReadFrameReadsNothingAndLeavesTheImage) {
  Open();
  board.Flash()[0] = 0x12;
  board.Faults().Add({.call = D2xxCall::Write, .status = FT_IO_ERROR});
  link.FlashAddress = 0;
  link.BlockCount = 512;
  link.ImageOffset = 8;
  link.ReadFlashBlock();
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(FT_IO_ERROR));
  EXPECT_TRUE(board.CallTrace().Of(D2xxCall::Read).empty());
  EXPECT_EQ(image[8], 0);
}

TEST_F(CommandTest, FailedWriteFrameSendsNoData) {
  Open();
  board.Faults().Add({.call = D2xxCall::Write, .status = FT_IO_ERROR});
  image[8] = 0x12;
  link.FlashAddress = 0;
  link.BlockCount = 512;
  link.ImageOffset = 8;
  link.WriteFlashBlock();
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(FT_IO_ERROR));
  EXPECT_EQ(board.CallTrace().Of(D2xxCall::Write).size(), 1u);
  EXPECT_EQ(board.Flash()[0], 0xFF);
}

struct VersionCase {
  std::uint8_t hardware;
  std::uint8_t firmware;
  VersionPair expectedHardware;
  VersionPair expectedFirmware;
};

class VersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTest, DecodesBothNibbles) {
  const VersionCase& c = GetParam();
  sim::SimulatedBoard board({.hardwareByte = c.hardware, .firmwareByte = c.firmware});
  std::vector<std::uint8_t> image(kImageBufferSize);
  TLXModule link(board.Port(), image);
  link.OpenDevice();
  link.QueryStatus();
  EXPECT_EQ(link.LinkStatus, 0);
  EXPECT_EQ(link.HardwareVersion, c.expectedHardware);
  EXPECT_EQ(link.FirmwareVersion, c.expectedFirmware);
}

INSTANTIATE_TEST_SUITE_P(Bytes, VersionTest,
                         ::testing::Values(VersionCase{0x21, 0x13, {2, 1}, {1, 3}},
                                           VersionCase{0xFF, 0xFF, {15, 15}, {15, 15}},
                                           VersionCase{0x10, 0x0F, {1, 0}, {0, 15}},
                                           VersionCase{0x00, 0x00, {0, 0}, {0, 0}}));

class WrongTagTest : public ::testing::TestWithParam<std::array<std::uint8_t, 2>> {};

TEST_P(WrongTagTest, IsNoLinkFailureButClearsTheHardwareVersionOnly) {
  sim::SimulatedBoard board({.hardwareByte = 0x21, .firmwareByte = 0x13, .statusTag = GetParam()});
  std::vector<std::uint8_t> image(kImageBufferSize);
  TLXModule link(board.Port(), image);
  link.OpenDevice();
  link.HardwareVersion = {3, 4};
  link.FirmwareVersion = {1, 2};
  link.QueryStatus();
  EXPECT_EQ(link.LinkStatus, 0);
  EXPECT_EQ(link.HardwareVersion, (VersionPair{0, 0}));
  EXPECT_EQ(link.FirmwareVersion, (VersionPair{1, 2}));
}

INSTANTIATE_TEST_SUITE_P(Tags, WrongTagTest,
                         ::testing::Values(std::array<std::uint8_t, 2>{'k', 'v'},
                                           std::array<std::uint8_t, 2>{'V', 'K'},
                                           std::array<std::uint8_t, 2>{'K', 'W'},
                                           std::array<std::uint8_t, 2>{'J', 'V'},
                                           std::array<std::uint8_t, 2>{0, 0}));

TEST_F(CommandTest, StatusWriteFailureKeepsBothVersions) {
  Open();
  link.HardwareVersion = {3, 4};
  link.FirmwareVersion = {1, 2};
  board.Faults().Add({.call = D2xxCall::Write, .status = FT_IO_ERROR});
  link.QueryStatus();
  EXPECT_EQ(link.LinkStatus, static_cast<std::int32_t>(FT_IO_ERROR));
  EXPECT_EQ(link.HardwareVersion, (VersionPair{3, 4}));
  EXPECT_EQ(link.FirmwareVersion, (VersionPair{1, 2}));
  EXPECT_TRUE(board.CallTrace().Of(D2xxCall::Read).empty());
}

TEST_F(CommandTest, StatusReplyFailureClearsOnlyTheHardwareVersion) {
  Open();
  link.HardwareVersion = {3, 4};
  link.FirmwareVersion = {1, 2};
  board.Faults().Add({.call = D2xxCall::Read, .kind = FaultKind::NoData});
  link.QueryStatus();
  EXPECT_EQ(link.LinkStatus, kReadLoopFailed);
  EXPECT_EQ(link.HardwareVersion, (VersionPair{0, 0}));
  EXPECT_EQ(link.FirmwareVersion, (VersionPair{1, 2}));
}

}  // namespace
}  // namespace tlx::test
