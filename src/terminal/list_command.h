// tlx-update --list: every attached board by port, with its serial, whether this program may
// open it, and for a free board its bootloader's answer to the start-up query (the board is
// opened, asked and closed again). A board its serial cannot pick carries a note to use its
// port.
#pragma once

#include <ostream>
#include <vector>

#include "terminal/board_connector.h"
#include "terminal/board_list.h"

namespace tlx::terminal {

// As text (a table) or as one JSON line per board.
void ListCommand(const std::vector<ListedBoard>& boards, BoardConnector& connector, bool json,
                 std::ostream& out);

}  // namespace tlx::terminal
