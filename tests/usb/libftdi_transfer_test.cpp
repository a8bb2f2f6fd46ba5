// Configuration, transfers, purges and close through the real libftdi1, checked on the wire
// of a fake FTDI bridge.
#include <gtest/gtest.h>

#include <numeric>

#include "libftdi_fixture.h"

namespace tlx::usb::testing {
namespace {

class LibftdiTransferTest : public LibftdiFixture {
 protected:
  std::vector<ControlRequest> ControlsOf(std::uint8_t request) const {
    std::vector<ControlRequest> found;
    for (const ControlRequest& control : board_.controls)
      if (control.request == request) found.push_back(control);
    return found;
  }

  FakeFtdiDevice& board_ = Plug(kBoard);
  FT_HANDLE handle_ = OpenBoard();
};

TEST_F(LibftdiTransferTest, ConfigurationReachesTheChip) {
  ASSERT_NE(handle_, 0u);
  EXPECT_EQ(ControlsOf(kRequestSetLatency).back().value, 2);
  // A write timeout of 0 must not leave libftdi's control requests without a bound.
  for (const ControlRequest& control : board_.controls)
    EXPECT_GT(control.timeoutMs, 0u) << "request " << int(control.request);
  EXPECT_EQ(ControlsOf(kRequestSetLatency).back().timeoutMs, unsigned{kUnboundedWriteGuardMs});

  std::vector<std::uint8_t> reply(4);
  DWORD returned = 0;
  board_.toHost.assign({'K', 'V', 0x21, 0x11});
  ASSERT_EQ(d2xx_.FT_Read(handle_, reply.data(), 4, &returned), FT_OK);
  EXPECT_EQ(board_.bulkInLengths.back(), 16384);  // libftdi's cap on 65,536
  EXPECT_LE(board_.bulkInTimeouts.back(), 100u);
}

// Bytes that look like the chip's status bytes stay data, across packets and both ways; a
// board that falls silent ends the read with what came.
TEST_F(LibftdiTransferTest, BlocksCrossThePacketsIntact) {
  std::vector<std::uint8_t> block(2048);
  std::iota(block.begin(), block.end(), std::uint8_t{0});
  block[61] = kModemStatus[0];
  block[62] = kModemStatus[1];
  board_.toHost.assign(block.begin(), block.end());
  board_.toHost.insert(board_.toHost.end(), {'K', 'V'});

  std::vector<std::uint8_t> received(2048, 0xEE);
  DWORD returned = 0;
  ASSERT_EQ(d2xx_.FT_Read(handle_, received.data(), 2048, &returned), FT_OK);
  EXPECT_EQ(received, block);
  std::vector<std::uint8_t> tail(4, ' ');
  EXPECT_EQ(d2xx_.FT_Read(handle_, tail.data(), 4, &returned), FT_OK);
  EXPECT_EQ(tail, (std::vector<std::uint8_t>{'K', 'V', ' ', ' '}));
  EXPECT_EQ(returned, 2u);

  DWORD written = 0;
  ASSERT_EQ(d2xx_.FT_Write(handle_, block.data(), 2048, &written), FT_OK);
  EXPECT_EQ(written, 2048u);
  EXPECT_EQ(board_.fromHost, block);
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
  board_.toHost.assign({'x', 'y'});
  ASSERT_EQ(d2xx_.FT_Purge(handle_, c.mask), FT_OK);
  std::vector<std::uint16_t> flushes;
  const auto resets = ControlsOf(kRequestReset);
  for (auto i = resetsBefore; i < resets.size(); ++i) flushes.push_back(resets[i].value);
  EXPECT_EQ(flushes, c.flushes);
  EXPECT_EQ(board_.toHost.empty(), c.dropsTowardsHost);
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
  EXPECT_FALSE(board_.claimed);
  EXPECT_TRUE(board_.kernelDriverAttached);
  ExpectNothingLeftOpen();
}

}  // namespace
}  // namespace tlx::usb::testing
