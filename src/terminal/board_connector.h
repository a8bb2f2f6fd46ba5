// Where the multi-board run gets each board's connection: the program's wiring knows whether
// the boards are on USB (one library context per board) or simulated, the run does not.
#pragma once

#include <memory>

#include "link/d2xx.h"
#include "terminal/board_list.h"

namespace tlx::terminal {

class BoardConnector {
 public:
  virtual ~BoardConnector() = default;

  // A connection of the board's own, on which opening the board by its description opens
  // exactly this board (by its location, its serial checked). Used by one thread at a time.
  virtual std::shared_ptr<D2xx> Connect(const ListedBoard& board) = 0;
};

}  // namespace tlx::terminal
