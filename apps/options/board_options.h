// The simulated boards' settings on a command line, under the same names in
// tambrelux-updater-sim and in tlx-update --sim, and the files they ask for at exit.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/board_settings.h"

namespace tlx::options {

// Registers the options, which fill settings as they are parsed; returns them, so a program
// can make them depend on a switch of its own.
std::vector<CLI::Option*> AddBoardOptions(CLI::App& app, sim::BoardSettings& settings);

// Writes --dump-flash and --trace of every board, each whole or not at all: a half-written
// dump could be mistaken for the board's state. On failure, one sentence per file on errors
// and false.
bool WriteBoardOutputs(const sim::BoardSettings& settings, const sim::SimulatedBus& boards,
                       std::ostream& errors);

}  // namespace tlx::options
