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

inline constexpr char kStatusReply[] = "4b562111";  // "KV", 2.1, 1.1

}  // namespace tlx::test
