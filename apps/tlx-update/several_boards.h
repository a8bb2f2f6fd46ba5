// tlx-update's side of several boards: --list, the choice among the attached boards, and the
// run that updates the chosen ones at once. One board and no choice stay the single-board run.
#pragma once

#include <optional>
#include <string>

#include "terminal/board_connector.h"
#include "terminal/board_selection.h"
#include "terminal/close_requests.h"

namespace tlx::update_program {

struct SeveralBoardsSettings {
  bool list = false;
  terminal::BoardChoice choice;
  bool skipCurrent = false;
  std::string file;
  bool yes = false;
  bool json = false;
};

// Where the boards are: lister reads the device list, connector gives each board its own
// connection; simulated chooses the instance lock the run holds.
struct BoardsWiring {
  D2xx& lister;
  terminal::BoardConnector& connector;
  bool simulated;
};

// The exit status; nothing when the single-board run should go on as before (no choice made
// and at most one board attached, unless --skip-current has one to judge).
std::optional<int> RunSeveralBoards(const BoardsWiring& wiring,
                                    const SeveralBoardsSettings& settings,
                                    terminal::CloseRequests& closeRequests);

}  // namespace tlx::update_program
