// Several boards' report for scripts: each board's event lines as a single board's, each
// naming its board; a "ready" line per board before the question, a "result" line per board,
// and last one "summary" line with the counts and the exit status.
#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include "terminal/boards_report.h"
#include "terminal/json_report.h"

namespace tlx::terminal {

class JsonBoardsReport : public BoardsReport {
 public:
  // boards must outlive the report.
  JsonBoardsReport(std::ostream& out, std::ostream& errors, const std::vector<ListedBoard>& boards);

  UpdateReport& Board(std::size_t index) override;
  void Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
             VersionPair image) override;
  void Pause() override {}
  void Result(std::size_t index, const BoardResult& result) override;
  void Notice(const std::string& text) override;
  void Summary(const std::vector<BoardResult>& results, int exitStatus) override;

 private:
  void Write(const std::string& line);

  std::ostream& out_;
  std::ostream& errors_;
  const std::vector<ListedBoard>& boards_;
  std::mutex lock_;
  std::vector<std::unique_ptr<JsonReport>> reports_;
};

}  // namespace tlx::terminal
