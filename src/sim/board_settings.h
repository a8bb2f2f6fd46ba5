// The simulated board's settings, as tambrelux-updater-sim and tlx-update --sim take them:
// its versions, pace, faults, and the files of its flash and call trace written at exit. Also
// how each setting reads from the text a person types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/simulated_board.h"

namespace tlx::sim {

struct BoardSettings {
  BoardConfig board{0x21, 0x11};
  Pace pace = Pace::Realistic;
  std::uint64_t seed = 1;
  std::optional<double> faultRate;
  std::optional<std::uint32_t> stuckByte;
  std::optional<int> unplugAt;
  std::vector<ScriptedFault> faults;
  std::string dumpFlash;
  std::string trace;
};

// "instant" or "realistic".
std::optional<Pace> ParsePace(std::string_view text);
// A probability from 0 to 1.
std::optional<double> ParseRate(std::string_view text);

// Sets up the board's faults as the settings ask.
void ApplyBoardSettings(const BoardSettings& settings, SimulatedBoard& board);

}  // namespace tlx::sim
