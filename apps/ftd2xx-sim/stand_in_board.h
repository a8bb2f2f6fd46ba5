// The simulated boards behind the stand-in ftd2xx.dll, set up from the environment variable
// TLX_SIM_BOARD, which holds the simulated boards' options as tlx-update --sim takes them
// ("--firmware 1.2 --pace instant --dump-flash flash.bin", "--boards 2"). Their flash and trace
// files are written each time the program closes a board, so they hold the boards as the
// program left them however it ends afterwards.
#pragma once

#include <memory>

#include "sim/board_settings.h"
#include "sim/simulated_bus.h"

namespace tlx::ftd2xx_sim {

inline constexpr char kSettingsVariable[] = "TLX_SIM_BOARD";

class StandInBoards {
 public:
  // The boards of this process, set up at their first use. A variable that cannot be read is
  // reported once on stderr, and then no board is attached.
  static StandInBoards& Instance();

  // The boards' D2XX calls, which may come from several threads; nullptr when there are no
  // boards.
  D2xx* Port() { return boards_.get(); }
  void WriteOutputs();

 private:
  StandInBoards();

  sim::BoardSettings settings_;
  std::unique_ptr<sim::SimulatedBus> boards_;
};

}  // namespace tlx::ftd2xx_sim
