#include "terminal/terminal_window.h"

#include "app/window_texts.h"

namespace tlx::terminal {

TerminalWindow::TerminalWindow(UpdateReport& report) : report_(report) {}

void TerminalWindow::SetCaption(const std::string& text) {
  report_.Caption(text);
}

// The session presses the buttons itself, as the answers say.
void TerminalWindow::SetButtonVisible(int /*index*/, bool /*visible*/) {}

// Emptied lines are not shown: a terminal keeps what it printed.
void TerminalWindow::SetLabelCaption(Label label, const std::string& text) {
  std::string& shown = labels_.at(static_cast<std::size_t>(label));
  if (!text.empty() && text != shown) report_.Status(label, text);
  shown = text;
}

void TerminalWindow::SetProgressVisible(bool visible) {
  if (progressVisible_ && !visible) report_.ProgressHidden();
  progressVisible_ = visible;
  progressValue_ = -1;
}

void TerminalWindow::SetProgressMax(int maximum) {
  progressMax_ = maximum;
}

// Only changes are shown: a region's first block repeats the last value of the region before.
// Before the update engine sets the maximum there is nothing to show.
void TerminalWindow::SetProgressValue(int value) {
  if (!progressVisible_ || progressMax_ <= 0 || value == progressValue_) return;
  progressValue_ = value;
  report_.Progress(value, progressMax_);
}

void TerminalWindow::SetMenuEnabled(bool /*enabled*/) {}

bool TerminalWindow::MenuChecked(MenuItem item) const {
  return menuChecks_.at(static_cast<std::size_t>(item));
}

void TerminalWindow::SetMenuChecked(MenuItem item, bool checked) {
  menuChecks_.at(static_cast<std::size_t>(item)) = checked;
}

void TerminalWindow::MsgBox(const std::string& text, const std::optional<std::string>& title,
                            int /*style*/) {
  const std::string shownTitle = title.value_or(kApplicationTitle);
  lastMessage_ = shownTitle + ": " + text;
  report_.Message(shownTitle, text);
}

bool TerminalWindow::ShowOpen(FileOpenDialog& /*dialog*/) {
  return false;
}

void TerminalWindow::DoEvents() {
  if (onEvents) onEvents();
}

void TerminalWindow::Show() {}

void TerminalWindow::Unload() {
  unloaded_ = true;
}

void TerminalWindow::End() {
  ended_ = true;
}

}  // namespace tlx::terminal
