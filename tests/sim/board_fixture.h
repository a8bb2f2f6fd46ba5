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
  explicit RawBoard(sim::Pace pace = sim::Pace::Instant) : board({}, pace), port(board.Port()) {}

  // Opens the board with the link's read timeout.
  void Open() {
    ASSERT_EQ(port.FT_OpenEx("Tambrelux Pro", FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
    ASSERT_EQ(port.FT_SetTimeouts(handle, 100, 0), FT_OK);
  }

  FT_STATUS Send(const std::vector<std::uint8_t>& bytes, DWORD* written = nullptr) {
    DWORD count = 0;
    const FT_STATUS status = port.FT_Write(handle, bytes.data(), bytes.size(), &count);
    if (written != nullptr) *written = count;
    return status;
  }
  FT_STATUS Send(std::string_view hex) { return Send(Bytes(hex)); }

  // Reads up to count bytes in one call; the hex of what arrived.
  std::string Read(DWORD count) {
    std::vector<std::uint8_t> buffer(count);
    port.FT_Read(handle, buffer.data(), count, &count);
    return Hex(std::span(buffer).first(count));
  }

  FT_STATUS Purge(DWORD mask = FT_PURGE_RX | FT_PURGE_TX) { return port.FT_Purge(handle, mask); }

  // One "WF" block at a flash address: the frame, then the 2,048 data bytes.
  FT_STATUS WriteBlock(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    Send(std::vector<std::uint8_t>{'W', 'F', 0, static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(address)});
    return Send(data);
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
