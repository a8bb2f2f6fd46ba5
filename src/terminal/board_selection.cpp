#include "terminal/board_selection.h"

#include <algorithm>

#include "link/device_location.h"

namespace tlx::terminal {
namespace {

std::string Names(const std::vector<const ListedBoard*>& boards) {
  std::string text;
  for (const ListedBoard* board : boards) text += (text.empty() ? "" : "; ") + BoardName(*board);
  return text;
}

std::vector<const ListedBoard*> Where(const std::vector<ListedBoard>& listed, auto matches) {
  std::vector<const ListedBoard*> found;
  for (const ListedBoard& board : listed)
    if (matches(board)) found.push_back(&board);
  return found;
}

class Selector {
 public:
  explicit Selector(const std::vector<ListedBoard>& listed) : listed_(listed) {}

  void BySerial(const std::string& serial) {
    const auto found = Where(listed_, [&](const ListedBoard& b) { return b.serial == serial; });
    if (found.empty()) return Refuse("no attached board has serial " + serial);
    if (found.size() > 1)
      return Refuse("serial " + serial + " is on " + std::to_string(found.size()) + " boards (" +
                    Names(found) + "): pick them with --port");
    Take(*found.front());
  }

  void ByPort(const std::string& port) {
    const auto locId = ParsePortPath(port);
    if (!locId) return Refuse("\"" + port + "\" is not a port such as 1-4.2");
    const auto found = Where(listed_, [&](const ListedBoard& b) { return b.locId == *locId; });
    if (found.empty()) return Refuse("no board is attached at port " + port);
    Take(*found.front());
  }

  void Free() {
    for (const ListedBoard& board : listed_)
      if (board.access == BoardAccess::Free) Take(board);
    if (taken_.empty()) Refuse("no free board is attached");
  }

  Selection Result() {
    Selection selection;
    std::ranges::sort(taken_, {}, &ListedBoard::locId);
    for (const ListedBoard* board : taken_) selection.boards.push_back(*board);
    if (!refusals_.empty())
      selection.refusal = "tlx-update: " + refusals_ + "; nothing was written.";
    return selection;
  }

 private:
  void Take(const ListedBoard& board) {
    if (std::ranges::find(taken_, &board) != taken_.end()) return;
    if (board.access == BoardAccess::OpenElsewhere)
      return Refuse("the board at " + BoardName(board) + " is open in another program");
    if (board.access == BoardAccess::NoAccess)
      return Refuse("this user may not open the board at " + BoardName(board) +
                    " (tlx-update --list says why)");
    taken_.push_back(&board);
  }
  void Refuse(const std::string& why) { refusals_ += (refusals_.empty() ? "" : "; ") + why; }

  const std::vector<ListedBoard>& listed_;
  std::vector<const ListedBoard*> taken_;
  std::string refusals_;
};

}  // namespace

Selection SelectBoards(const std::vector<ListedBoard>& listed, const BoardChoice& choice) {
  if (!choice.Made()) {
    if (listed.size() <= 1) return {listed, {}};
    return {{},
            "tlx-update: " + std::to_string(listed.size()) + " boards are attached (" +
                Names(Where(listed, [](const ListedBoard&) { return true; })) +
                "); pick them with --serial, --port or --all; nothing was written."};
  }
  Selector selector(listed);
  for (const std::string& serial : choice.serials) selector.BySerial(serial);
  for (const std::string& port : choice.ports) selector.ByPort(port);
  if (choice.all) selector.Free();
  return selector.Result();
}

}  // namespace tlx::terminal
