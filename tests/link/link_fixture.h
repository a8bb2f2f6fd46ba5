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

class LinkOnBoard : public ::testing::Test {
 protected:
  explicit LinkOnBoard(sim::BoardConfig config = {}) : board(config) {}

  void Open() {
    link.OpenDevice();
    ASSERT_EQ(link.LinkStatus, 0);
    mark = board.CallTrace().Entries().size();
  }

  // Calls made since Open(), of one kind.
  std::vector<sim::TraceEntry> CallsSinceOpen(sim::D2xxCall call) const {
    std::vector<sim::TraceEntry> found;
    const auto& all = board.CallTrace().Entries();
    for (std::size_t i = mark; i < all.size(); ++i)
      if (all[i].call == call) found.push_back(all[i]);
    return found;
  }

  std::vector<std::string> WrittenSinceOpen() const {
    std::vector<std::string> written;
    for (const sim::TraceEntry& entry : CallsSinceOpen(sim::D2xxCall::Write))
      written.push_back(Hex(entry.data));
    return written;
  }

  sim::SimulatedBoard board;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(65544, 0);
  TLXModule link{board.Port(), image};
  std::size_t mark = 0;
};

}  // namespace tlx::test
