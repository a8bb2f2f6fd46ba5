// The command line of the simulator program: the board's versions, its faults and pacing,
// what to write at exit, and the autopilot.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "sim/simulated_board.h"

namespace tlx::ui {

struct SimOptions {
  sim::BoardConfig board{0x21, 0x11};
  sim::Pace pace = sim::Pace::Realistic;
  std::uint64_t seed = 1;
  std::optional<double> faultRate;
  std::optional<std::uint32_t> stuckByte;
  std::optional<int> unplugAt;
  std::vector<sim::ScriptedFault> faults;
  QString dumpFlash;
  QString trace;
  bool autopilot = false;
  QString screenshots;
  bool help = false;
};

struct OptionsError {
  QString message;
};

// arguments[0] is the program. Either the options or one sentence saying what is wrong.
std::variant<SimOptions, OptionsError> ParseSimOptions(const QStringList& arguments);

QString SimHelpText();

// Sets up the board's fault plan as the options ask.
void ApplyFaults(const SimOptions& options, sim::SimulatedBoard& board);

}  // namespace tlx::ui
