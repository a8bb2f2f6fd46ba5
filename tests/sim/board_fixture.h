// A simulated board driven through its raw D2XX port, for tests of the board itself.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "hex_bytes.h"
#include "sim/simulated_board.h"

namespace tlx::test {

class RawBoard {
 public:
  explicit RawBoard(sim::BoardConfig config = {}) : board(config), port(board.Port()) {}

  // Opens the board with the link's read timeout.
  void Open() {
    ASSERT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
    ASSERT_EQ(port.FT_SetTimeouts(handle, 100, 0), FT_OK);
  }

  FT_STATUS Send(const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    return port.FT_Write(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
  }
  FT_STATUS Send(std::string_view hex) { return Send(Bytes(hex)); }

  // Reads up to count bytes in one call; the hex of what arrived.
  std::string Read(DWORD count, FT_STATUS* status = nullptr) {
    std::vector<std::uint8_t> buffer(count);
    DWORD received = 0;
    const FT_STATUS result = port.FT_Read(handle, buffer.data(), count, &received);
    if (status != nullptr) *status = result;
    buffer.resize(received);
    return Hex(buffer);
  }

  FT_STATUS ReadStatus(DWORD count) {
    FT_STATUS status = FT_OK;
    Read(count, &status);
    return status;
  }

  // One of each call after the open, in the link's order: the configuration, an "SI" and
  // its reply, a purge and the close. Their statuses; what the read got goes to *reply.
  std::vector<FT_STATUS> CallEachOn(FT_HANDLE h, std::string* reply = nullptr) {
    const std::uint8_t frame[] = {'S', 'I'};
    std::uint8_t buffer[4];
    DWORD written = 0;
    DWORD received = 0;
    std::vector<FT_STATUS> statuses{port.FT_SetTimeouts(h, 100, 0),
                                    port.FT_SetLatencyTimer(h, 2),
                                    port.FT_SetUSBParameters(h, 65536, 65536),
                                    port.FT_Write(h, frame, 2, &written),
                                    port.FT_Read(h, buffer, 4, &received),
                                    port.FT_Purge(h, FT_PURGE_RX | FT_PURGE_TX),
                                    port.FT_Close(h)};
    if (reply != nullptr) *reply = Hex(std::span(buffer, received));
    return statuses;
  }

  // Writes one "WF" block of 2,048 bytes at a flash address; no data when the frame failed.
  FT_STATUS WriteBlock(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    const FT_STATUS frame = Send(std::vector<std::uint8_t>{
        'W', 'F', static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
        static_cast<std::uint8_t>(address)});
    return frame != FT_OK ? frame : Send(data);
  }

  std::string FlashHex(std::size_t first, std::size_t count) const {
    return Hex(board.Flash().subspan(first, count));
  }

  sim::SimulatedBoard board;
  D2xx& port;
  FT_HANDLE handle = 0;
};

// An opened board per test case.
class BoardTest : public ::testing::Test, public RawBoard {
 protected:
  void SetUp() override { Open(); }
};

template <class Case>
class BoardTestWith : public BoardTest, public ::testing::WithParamInterface<Case> {};

inline constexpr char kStatusReply[] = "4b562111";  // "KV", 2.1, 1.1

inline auto CaseName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace tlx::test
