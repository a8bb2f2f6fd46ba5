// Which of the listed boards a run updates: those named by serial or port, or every free one.
// Anything that could write a board the user did not mean is refused before any board is
// written: no choice among several boards, a serial two boards share, a board that is not
// there or is open in another program.
#pragma once

#include <string>
#include <vector>

#include "terminal/board_list.h"

namespace tlx::terminal {

struct BoardChoice {
  std::vector<std::string> serials{};
  std::vector<std::string> ports{};
  bool all = false;

  bool Made() const { return all || !serials.empty() || !ports.empty(); }
};

struct Selection {
  std::vector<ListedBoard> boards;  // in port order, each once
  std::string refusal;              // one sentence; empty when the selection stands
};

// With no choice made, one board or none is taken as it is: the single-board run decides.
Selection SelectBoards(const std::vector<ListedBoard>& listed, const BoardChoice& choice);

}  // namespace tlx::terminal
