// The device link over a simulated board, with the board's call trace as the observable.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "hex_bytes.h"
#include "link/tlx_module.h"
#include "sim/simulated_board.h"

namespace tlx::test {

inline constexpr std::size_t kImageBufferSize = 65544;

class LinkOnBoard : public ::testing::Test {
 protected:
  explicit LinkOnBoard(sim::BoardConfig config = {}) : board(config) {}

  void Open() {
    link.OpenDevice();
    ASSERT_EQ(link.LinkStatus, 0);
  }

  // Calls from here on are the ones a test looks at.
  void MarkTrace() { mark = board.CallTrace().Entries().size(); }

  std::vector<sim::TraceEntry> CallsSinceMark() const {
    const auto& all = board.CallTrace().Entries();
    return {all.begin() + static_cast<std::ptrdiff_t>(mark), all.end()};
  }

  std::vector<std::string> WrittenSinceMark() const {
    std::vector<std::string> written;
    for (const sim::TraceEntry& entry : CallsSinceMark())
      if (entry.call == sim::D2xxCall::Write) written.push_back(Hex(entry.data));
    return written;
  }

  std::vector<DWORD> ReadsRequestedSinceMark() const {
    std::vector<DWORD> requested;
    for (const sim::TraceEntry& entry : CallsSinceMark())
      if (entry.call == sim::D2xxCall::Read) requested.push_back(entry.requested);
    return requested;
  }

  sim::SimulatedBoard board;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kImageBufferSize, 0);
  TLXModule link{board.Port(), image};
  std::size_t mark = 0;
};

}  // namespace tlx::test
