// The report for scripts: one JSON object per line on out for every status text, progress
// value, message and, last, the result. Messages also go to the error stream as text, so a
// person watching a script still reads them.
#pragma once

#include <ostream>

#include "terminal/update_report.h"

namespace tlx::terminal {

class JsonReport : public UpdateReport {
 public:
  JsonReport(std::ostream& out, std::ostream& errors);

  void Caption(const std::string& text) override;
  void Status(Label label, const std::string& text) override;
  void Progress(int value, int maximum) override;
  void ProgressHidden() override;
  void Message(const std::string& title, const std::string& text) override;
  void Notice(const std::string& text) override;
  void Result(int exitStatus, const std::string& text) override;

 private:
  std::ostream& out_;
  std::ostream& errors_;
};

}  // namespace tlx::terminal
