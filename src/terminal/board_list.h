// The boards attached to this computer, as the device list describes them: read once, sorted
// by where they are plugged in (enumeration order changes between runs; ports do not), and
// marked where a serial cannot tell a board apart (FT245R batches with none or repeated ones).
#pragma once

#include <string>
#include <vector>

#include "link/d2xx.h"

namespace tlx::terminal {

// NoAccess: the board is there, but this user may not open it.
enum class BoardAccess { Free, OpenElsewhere, NoAccess };

struct ListedBoard {
  DWORD locId = 0;
  std::string port;    // "1-4.2"
  std::string serial;  // empty when the board has none
  BoardAccess access = BoardAccess::Free;
  // Its serial is missing or another listed board has it too: only its port picks it.
  bool needsPort = false;
};

// The attached devices whose description is the board's, by port path. A status other than
// FT_OK leaves boards empty.
FT_STATUS ListBoards(D2xx& d2xx, std::vector<ListedBoard>& boards);

// The serial as a table shows it: "-" when the board has none.
std::string SerialText(const ListedBoard& board);

// "port 1-4.2, serial A1B2" ("no serial" when it has none): how messages name a board.
std::string BoardName(const ListedBoard& board);

}  // namespace tlx::terminal
