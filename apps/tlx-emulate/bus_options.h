// tlx-emulate's command line: how many boards are plugged in, each one's serial number,
// versions and unplug, and the program that runs on the bus.
#pragma once

#include <CLI/CLI.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "emulate/emulated_bridge.h"

namespace tlx::emulate_program {

inline constexpr int kMaxBoards = 32;

struct BoardPlan {
  emulate::BridgeSpec spec;
  std::optional<std::chrono::milliseconds> unplugAfter;  // after the program starts
  std::optional<int> unplugAtWrite;                      // with the Nth bulk write to the board
};

struct BusPlan {
  std::vector<BoardPlan> boards;     // board K on port K of bus 1
  std::vector<std::string> command;  // the program, then its arguments
};

// Registers the options and the program; plan is whole once app has parsed its command line.
void AddBusOptions(CLI::App& app, BusPlan& plan);

}  // namespace tlx::emulate_program
