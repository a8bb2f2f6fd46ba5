#include "terminal/lines_boards_report.h"

namespace tlx::terminal {

LinesBoardsReport::LinesBoardsReport(std::ostream& out, std::ostream& errors,
                                     const std::vector<ListedBoard>& boards)
    : out_(out), errors_(errors), boards_(boards) {
  for (const ListedBoard& board : boards)
    reports_.push_back(std::make_unique<TextReport>(out, errors, board, lock_));
}

UpdateReport& LinesBoardsReport::Board(std::size_t index) {
  return *reports_.at(index);
}

void LinesBoardsReport::Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
                              VersionPair image) {
  Write(errors_, BoardName(boards_.at(index)) + ": hardware " + VersionText(hardware) +
                     ", firmware " + VersionText(firmware) + ", to be updated to " +
                     VersionText(image));
}

void LinesBoardsReport::Result(std::size_t index, const BoardResult& result) {
  Write(out_, BoardName(boards_.at(index)) + ": result: " + result.text);
}

void LinesBoardsReport::Notice(const std::string& text) {
  Write(errors_, text);
}

void LinesBoardsReport::Summary(const std::vector<BoardResult>& results, int /*exitStatus*/) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "\n" + std::string at -O2.
  std::string text = "\n";
  text += SummaryTable(results);
  text += TotalLine(results);
  Write(out_, text);
}

void LinesBoardsReport::Write(std::ostream& to, const std::string& text) {
  const std::lock_guard lock(lock_);
  to << text << std::endl;
}

}  // namespace tlx::terminal
