// tlx-update --list: every attached board by port, with its serial, whether this program may
// open it, and for a free board its bootloader's answer to the start-up query (the board is
// opened, asked and closed again). A board its serial cannot pick carries a note to use its
// port.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "terminal/board_connector.h"
#include "terminal/board_list.h"

namespace tlx::terminal {

// As text (a table) or as one JSON line per board on out. When a board is out of this user's
// reach, noAccessAdvice (how to grant access) follows once on errors.
void ListCommand(const std::vector<ListedBoard>& boards, BoardConnector& connector, bool json,
                 const std::string& noAccessAdvice, std::ostream& out, std::ostream& errors);

}  // namespace tlx::terminal
