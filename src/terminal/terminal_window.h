// The window-system operations of the window logic, carried out on a terminal: what the
// window would show goes to the report as it changes; Unload and End are recorded for the
// session that drives the logic. There is no file dialog on a terminal: the firmware file is
// TLX.fwu or the one named on the command line.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "app/window_system.h"
#include "terminal/update_report.h"

namespace tlx::terminal {

class TerminalWindow : public WindowSystem {
 public:
  explicit TerminalWindow(UpdateReport& report);

  void SetCaption(const std::string& text) override;
  void SetButtonVisible(int index, bool visible) override;
  void SetLabelCaption(Label label, const std::string& text) override;
  void SetProgressVisible(bool visible) override;
  void SetProgressMax(int maximum) override;
  void SetProgressValue(int value) override;
  void SetMenuEnabled(bool enabled) override;
  bool MenuChecked(MenuItem item) const override;
  void SetMenuChecked(MenuItem item, bool checked) override;
  void MsgBox(const std::string& text, const std::optional<std::string>& title, int style) override;
  bool ShowOpen(FileOpenDialog& dialog) override;
  void DoEvents() override;
  void Show() override;
  void Unload() override;
  void End() override;

  // Called by DoEvents: where close requests are served while the logic runs.
  std::function<void()> onEvents;

  bool Finished() const { return unloaded_ || ended_; }
  // "TITLE: TEXT" of the last message box, empty before the first.
  const std::string& LastMessage() const { return lastMessage_; }

 private:
  UpdateReport& report_;
  std::array<std::string, 2> labels_;
  std::array<bool, 2> menuChecks_{true, false};
  bool progressVisible_ = false;
  int progressMax_ = 0;
  int progressValue_ = -1;
  std::string lastMessage_;
  bool unloaded_ = false;
  bool ended_ = false;
};

}  // namespace tlx::terminal
