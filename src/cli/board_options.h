// The simulated board's options, under the same names in tambrelux-updater-sim and in
// tlx-update --sim: its versions, pace, faults, and the flash and call trace written at exit.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/simulated_board.h"

namespace tlx::cli {

struct BoardSettings {
  sim::BoardConfig board{0x21, 0x11};
  sim::Pace pace = sim::Pace::Realistic;
  std::uint64_t seed = 1;
  std::optional<double> faultRate;
  std::optional<std::uint32_t> stuckByte;
  std::optional<int> unplugAt;
  std::vector<sim::ScriptedFault> faults;
  std::string dumpFlash;
  std::string trace;
};

// Registers the options, which fill settings as they are parsed; returns them, so a program
// can make them depend on a switch of its own.
std::vector<CLI::Option*> AddBoardOptions(CLI::App& app, BoardSettings& settings);

// Sets up the board's faults as the settings ask.
void ApplyBoardSettings(const BoardSettings& settings, sim::SimulatedBoard& board);

// Writes --dump-flash and --trace, each whole or not at all: a half-written dump could be
// mistaken for the board's state. On failure, one sentence per file on errors and false.
bool WriteBoardOutputs(const BoardSettings& settings, const sim::SimulatedBoard& board,
                       std::ostream& errors);

}  // namespace tlx::cli
