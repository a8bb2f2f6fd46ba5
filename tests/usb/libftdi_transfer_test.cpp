// Configuration, transfers, purges and close through the real libftdi1, checked on the wire
// of a fake FTDI bridge.
#include <gtest/gtest.h>

#include <numeric>

#include "libftdi_fixture.h"

namespace tlx::usb::testing {
namespace {

class LibftdiTransferTest : public LibftdiFixture {
 protected:
  LibftdiTransferTest() {
    auto peer = std::make_unique<ScriptedPeer>();
    peer_ = peer.get();
    board_ = &PlugBoard(std::move(peer));
    handle_ = OpenBoard();
  }

  std::vector<ControlRequest> ControlsOf(std::uint8_t request) const {
    std::vector<ControlRequest> found;
    for (const ControlRequest& control : board_->Controls())
      if (control.request == request) found.push_back(control);
    return found;
  }

  ScriptedPeer* peer_ = nullptr;
  FakeFtdiDevice* board_ = nullptr;
  FT_HANDLE handle_ = 0;
};

TEST_F(LibftdiTransferTest, ConfigurationReachesTheChip) {
  ASSERT_NE(handle_, 0u);
  EXPECT_EQ(board_->LatencyMs(), 2);
  // A write timeout of 0 must not leave libftdi's control requests without a bound.
  for (const ControlRequest& control : board_->Controls())
    EXPECT_GT(control.timeoutMs, 0u) << "request " << int(control.request);
  EXPECT_EQ(ControlsOf(kRequestSetLatency).back().timeoutMs, unsigned{kUnboundedWriteGuardMs});

  std::vector<std::uint8_t> reply(4);
  DWORD returned = 0;
  peer_->pending.assign({'K', 'V', 0x21, 0x11});
  ASSERT_EQ(d2xx_.FT_Read(handle_, reply.data(), 4, &returned), FT_OK);
  EXPECT_EQ(board_->BulkInLengths().back(), 16384);  // libftdi's cap on 65,536
  EXPECT_LE(board_->BulkInTimeouts().back(), 100u);
}

TEST_F(LibftdiTransferTest, ABlockCrossesThePacketsIntact) {
  std::vector<std::uint8_t> block(2048);
  std::iota(block.begin(), block.end(), std::uint8_t{0});
  block[61] = kModemStatus[0];  // bytes that look like status bytes stay data
  block[62] = kModemStatus[1];
  peer_->pending.assign(block.begin(), block.end());

  std::vector<std::uint8_t> received(2048, 0xEE);
  DWORD returned = 0;
  ASSERT_EQ(d2xx_.FT_Read(handle_, received.data(), 2048, &returned), FT_OK);
  EXPECT_EQ(returned, 2048u);
  EXPECT_EQ(received, block);

  DWORD written = 0;
  ASSERT_EQ(d2xx_.FT_Write(handle_, block.data(), 2048, &written), FT_OK);
  EXPECT_EQ(written, 2048u);
  EXPECT_EQ(peer_->received, block);
}

TEST_F(LibftdiTransferTest, ASilentBoardEndsTheReadWithWhatCame) {
  peer_->pending.assign({'K', 'V'});
  std::vector<std::uint8_t> reply(4, ' ');
  DWORD returned = 9;
  EXPECT_EQ(d2xx_.FT_Read(handle_, reply.data(), 4, &returned), FT_OK);
  EXPECT_EQ(returned, 2u);
  EXPECT_EQ(reply, (std::vector<std::uint8_t>{'K', 'V', ' ', ' '}));
}

struct PurgeCase {
  const char* name;
  DWORD mask;
  std::vector<std::uint16_t> flushes;  // values of the chip's reset request, in order
  bool dropsTowardsHost;
};

class LibftdiPurgeTest : public LibftdiTransferTest,
                         public ::testing::WithParamInterface<PurgeCase> {};

TEST_P(LibftdiPurgeTest, FlushesTheDirectionsAsked) {
  const PurgeCase& c = GetParam();
  const auto resetsBefore = ControlsOf(kRequestReset).size();
  peer_->pending.assign({'x', 'y'});
  ASSERT_EQ(d2xx_.FT_Purge(handle_, c.mask), FT_OK);
  std::vector<std::uint16_t> flushes;
  const auto resets = ControlsOf(kRequestReset);
  for (auto i = resetsBefore; i < resets.size(); ++i) flushes.push_back(resets[i].value);
  EXPECT_EQ(flushes, c.flushes);
  EXPECT_EQ(peer_->pending.empty(), c.dropsTowardsHost);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, LibftdiPurgeTest,
    ::testing::Values(
        PurgeCase{"Receive", FT_PURGE_RX, {kFlushTowardsHost}, true},
        PurgeCase{"Transmit", FT_PURGE_TX, {kFlushFromHost}, false},
        PurgeCase{"Both", FT_PURGE_RX | FT_PURGE_TX, {kFlushFromHost, kFlushTowardsHost}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibftdiTransferTest, CloseGivesTheBoardBackToTheKernel) {
  ASSERT_EQ(d2xx_.FT_Close(handle_), FT_OK);
  EXPECT_FALSE(board_->Claimed());
  EXPECT_TRUE(board_->KernelDriverAttached());
  EXPECT_EQ(board_->OpenHandles(), 0);
  EXPECT_EQ(bus_->OpenContexts(), 0);
}

}  // namespace
}  // namespace tlx::usb::testing
