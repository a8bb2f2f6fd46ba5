// Several boards' report for people where nothing can be redrawn (a pipe, a file, a CI log):
// every line led by its board's port and serial, then the summary table and the total.
#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include "terminal/boards_report.h"
#include "terminal/text_report.h"

namespace tlx::terminal {

class LinesBoardsReport : public BoardsReport {
 public:
  // boards must outlive the report.
  LinesBoardsReport(std::ostream& out, std::ostream& errors,
                    const std::vector<ListedBoard>& boards);

  UpdateReport& Board(std::size_t index) override;
  void Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
             VersionPair image) override;
  void Pause() override {}
  void Result(std::size_t index, const BoardResult& result) override;
  void Notice(const std::string& text) override;
  void Summary(const std::vector<BoardResult>& results, int exitStatus) override;

 private:
  void Write(std::ostream& to, const std::string& text);

  std::ostream& out_;
  std::ostream& errors_;
  const std::vector<ListedBoard>& boards_;
  std::mutex lock_;
  std::vector<std::unique_ptr<TextReport>> reports_;
};

}  // namespace tlx::terminal
