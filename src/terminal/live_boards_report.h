// Several boards' report on a terminal: one row per board (port, serial, versions, the step,
// its progress, then its result), redrawn in place as any board moves on; then the summary
// table and the total. Messages go into their board's row rather than between the rows. Each
// row is cut to the terminal's width, asked anew at each redraw: a row the terminal wrapped
// would take two lines, and the redraw, moving up a line per row, would leave rows behind.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <vector>

#include "terminal/boards_report.h"

namespace tlx::terminal {

class LiveBoardsReport : public BoardsReport {
 public:
  // The terminal's width in columns; nothing when it cannot tell.
  using Columns = std::function<std::optional<std::size_t>()>;

  // boards must outlive the report.
  LiveBoardsReport(std::ostream& out, const std::vector<ListedBoard>& boards, Columns columns);
  ~LiveBoardsReport() override;

  UpdateReport& Board(std::size_t index) override;
  void Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
             VersionPair image) override;
  void Pause() override;
  void Result(std::size_t index, const BoardResult& result) override;
  void Notice(const std::string& text) override;
  void Summary(const std::vector<BoardResult>& results, int exitStatus) override;

  struct Row {
    std::string versions;
    std::string step;
    int percent = -1;
    std::string result;
  };
  // Changes board index's row; progress alone is redrawn at most ten times a second.
  void Change(std::size_t index, bool progressOnly, const std::function<void(Row&)>& change);

 private:
  void Redraw();

  std::ostream& out_;
  const std::vector<ListedBoard>& boards_;
  Columns columns_;
  std::mutex lock_;
  std::vector<Row> rows_;
  std::vector<std::unique_ptr<UpdateReport>> reports_;
  std::string notice_;
  std::size_t drawn_ = 0;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace tlx::terminal
