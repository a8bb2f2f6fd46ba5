// The report for people: status lines as they change, the progress as a bar redrawn on one
// line on a terminal or as plain percentage lines elsewhere, and messages on the error stream.
#pragma once

#include <mutex>
#include <ostream>

#include "terminal/board_list.h"
#include "terminal/update_report.h"

namespace tlx::terminal {

class TextReport : public UpdateReport {
 public:
  // terminal: out is a terminal, so the bar may be redrawn in place.
  TextReport(std::ostream& out, std::ostream& errors, bool terminal);
  // One board's report among several, each on its own thread, where nothing is redrawn:
  // plain lines led by the board's port and serial, each written whole under lock.
  TextReport(std::ostream& out, std::ostream& errors, const ListedBoard& board, std::mutex& lock);

  void Caption(const std::string& text) override;
  void Status(Label label, const std::string& text) override;
  void Progress(int value, int maximum) override;
  void ProgressHidden() override;
  void Message(const std::string& title, const std::string& text) override;
  void Notice(const std::string& text) override;
  void Result(int exitStatus, const std::string& text) override;

 private:
  // Ends a bar drawn in place, so the next line starts on a line of its own.
  void EndBar();
  void Line(std::ostream& to, const std::string& text);

  std::ostream& out_;
  std::ostream& errors_;
  bool terminal_;
  std::string prefix_;
  std::mutex* lock_ = nullptr;
  bool barDrawn_ = false;
  int lastPercent_ = -1;
};

}  // namespace tlx::terminal
