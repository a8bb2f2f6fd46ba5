// The simulated boards' settings, as tambrelux-updater-sim and tlx-update --sim take them:
// how many boards, their versions, pace, faults, and the files of their flash and call trace
// written at exit; what all boards share and what one board has of its own. Also how each
// setting reads from the text a person types.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/board_override.h"
#include "sim/simulated_bus.h"

namespace tlx::sim {

struct BoardSettings {
  BoardConfig board{0x21, 0x11};
  Pace pace = Pace::Realistic;
  std::uint64_t seed = 1;  // board K's random faults use seed + K - 1
  std::optional<double> faultRate;
  std::optional<std::uint32_t> stuckByte;
  std::optional<int> unplugAt;
  std::vector<ScriptedFault> faults;
  std::string dumpFlash;
  std::string trace;
  int boards = 1;
  BoardOverrides overrides;
};

// "instant" or "realistic".
std::optional<Pace> ParsePace(std::string_view text);
// A probability from 0 to 1.
std::optional<double> ParseRate(std::string_view text);

// One sentence when an override names a board beyond the count.
std::optional<std::string> CheckBoardNumbers(const BoardSettings& settings);

// The boards the settings describe, each with its faults set up.
std::unique_ptr<SimulatedBus> BuildBoards(const BoardSettings& settings);

// Where board K's output goes when there are several: "flash.bin" becomes "flash.2.bin",
// "trace" becomes "trace.2". With one board, the path itself.
std::filesystem::path OutputPathFor(const std::string& path, int board, int boards);

}  // namespace tlx::sim
