// The choice among attached boards, where a wrong guess would write a board nobody meant:
// repeated and missing serials, several boards with no choice, a busy or absent board.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/device_location.h"
#include "terminal/board_selection.h"

namespace tlx::terminal {
namespace {

// Listed out of port order, as enumeration may give them: two share a serial, one has none,
// one is open in another program, one out of this user's reach.
std::vector<ListedBoard> Listed() {
  std::vector<ListedBoard> boards;
  const std::pair<const char*, const char*> attached[] = {
      {"1-4.2", "A7"}, {"1-4.1", "A7"}, {"1-3", ""}, {"2-1", "B1"}, {"1-5", "C3"}, {"3-1", "D4"}};
  for (const auto& [port, serial] : attached) {
    const DWORD locId = *ParsePortPath(port);
    boards.push_back({locId, port, serial});
  }
  boards[4].access = BoardAccess::OpenElsewhere;
  boards[5].access = BoardAccess::NoAccess;
  return boards;
}

TEST(BoardSelection, PicksOnlyWhatNamesExactlyOneFreeBoard) {
  struct Case {
    BoardChoice choice;
    std::vector<std::string> ports;  // chosen, in port order
    std::string refusal;             // part of the one sentence
  };
  const Case cases[] = {
      {{}, {}, "6 boards are attached (port 1-3, no serial; port 1-4.1, serial A7; port 1-4.2,"},
      {{.serials = {"A7"}},
       {},
       "serial A7 is on 2 boards (port 1-4.1, serial A7; port 1-4.2, "
       "serial A7): pick them with --port"},
      {{.ports = {"1-4.2", "1-4.1", "1-3"}}, {"1-3", "1-4.1", "1-4.2"}, ""},
      {{.serials = {"B1"}, .ports = {"2-1"}}, {"2-1"}, ""},
      {{.serials = {"C3"}}, {}, "the board at port 1-5, serial C3 is open in another program"},
      {{.serials = {"Z9"}}, {}, "no attached board has serial Z9"},
      {{.ports = {"1-9"}}, {}, "no board is attached at port 1-9"},
      {{.ports = {"3-1"}}, {}, "this user may not open the board at port 3-1, serial D4"},
      {{.ports = {"1-x"}}, {}, "\"1-x\" is not a port such as 1-4.2"},
      {{.all = true}, {"1-3", "1-4.1", "1-4.2", "2-1"}, ""},
  };
  for (const Case& c : cases) {
    std::vector<ListedBoard> listed = Listed();
    std::ranges::sort(listed, {}, &ListedBoard::locId);
    const Selection selection = SelectBoards(listed, c.choice);
    std::vector<std::string> ports;
    for (const ListedBoard& board : selection.boards) ports.push_back(board.port);
    EXPECT_EQ(ports, c.ports) << c.refusal;
    if (c.refusal.empty()) {
      EXPECT_EQ(selection.refusal, "");
    } else {
      EXPECT_NE(selection.refusal.find(c.refusal), std::string::npos) << selection.refusal;
      EXPECT_TRUE(selection.refusal.ends_with("nothing was written.")) << selection.refusal;
    }
  }
}

}  // namespace
}  // namespace tlx::terminal
