// The simulated board behind the stand-in ftd2xx.dll, set up from the environment variable
// TLX_SIM_BOARD, which holds the simulated board's options as tlx-update --sim takes them
// ("--firmware 1.2 --pace instant --dump-flash flash.bin"). The board's flash and trace files
// are written each time the program closes it, so they hold the board as the program left it
// however the program ends afterwards.
#pragma once

#include <memory>
#include <mutex>

#include "sim/board_settings.h"
#include "sim/simulated_bus.h"

namespace tlx::ftd2xx_sim {

inline constexpr char kSettingsVariable[] = "TLX_SIM_BOARD";

class StandInBoard {
 public:
  // The one board of this process, set up at its first use. A variable it cannot read is
  // reported once on stderr, and then no board is attached.
  static StandInBoard& Instance();

  // The board's D2XX calls, or nullptr when there is no board.
  D2xx* Port() { return board_.get(); }
  void WriteOutputs();
  std::mutex& Calls() { return calls_; }

 private:
  StandInBoard();

  sim::BoardSettings settings_;
  std::unique_ptr<sim::SimulatedBus> board_;
  std::mutex calls_;
};

}  // namespace tlx::ftd2xx_sim
