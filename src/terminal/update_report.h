// What tlx-update shows of the window: its status lines, the progress, each message box, and
// at the end the result. For people as text, for scripts as JSON Lines.
#pragma once

#include <string>

#include "app/window_system.h"

namespace tlx::terminal {

class UpdateReport {
 public:
  virtual ~UpdateReport() = default;

  virtual void Caption(const std::string& text) = 0;
  virtual void Status(Label label, const std::string& text) = 0;
  // maximum is above 0.
  virtual void Progress(int value, int maximum) = 0;
  virtual void ProgressHidden() = 0;
  // A message box, as "TITLE: TEXT" on the error stream.
  virtual void Message(const std::string& title, const std::string& text) = 0;
  // A line of the program's own, on the error stream.
  virtual void Notice(const std::string& text) = 0;
  // Once, last: the exit status and what it stands for.
  virtual void Result(int exitStatus, const std::string& text) = 0;
};

}  // namespace tlx::terminal
