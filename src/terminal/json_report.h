// The report for scripts: one JSON object per line on out for every status text, progress
// value, message and, last, the result. Messages also go to the error stream as text, so a
// person watching a script still reads them.
#pragma once

#include <mutex>
#include <ostream>

#include "terminal/board_list.h"
#include "terminal/update_report.h"

namespace tlx::terminal {

class JsonReport : public UpdateReport {
 public:
  JsonReport(std::ostream& out, std::ostream& errors);
  // One board's report among several, each on its own thread: every line names the board,
  // and is written whole under lock.
  JsonReport(std::ostream& out, std::ostream& errors, const ListedBoard& board, std::mutex& lock);

  void Caption(const std::string& text) override;
  void Status(Label label, const std::string& text) override;
  void Progress(int value, int maximum) override;
  void ProgressHidden() override;
  void Message(const std::string& title, const std::string& text) override;
  void Notice(const std::string& text) override;
  void Result(int exitStatus, const std::string& text) override;

 private:
  // Writes one line, and the text of a message on errors, whole.
  void Write(const std::string& line, const std::string& errorText = {});

  std::ostream& out_;
  std::ostream& errors_;
  const ListedBoard* board_ = nullptr;
  std::mutex* lock_ = nullptr;
};

}  // namespace tlx::terminal
