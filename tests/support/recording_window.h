// A window system that records every operation in order, keeps the state a real window
// would show, and answers message boxes and file dialogs from a script.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/window_system.h"

namespace tlx::test {

struct ShownMessage {
  std::string text;
  std::optional<std::string> title;
  int style = 0;
};

class RecordingWindow : public WindowSystem {
 public:
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

  // Every operation, in order, as one line of text ("button 1 hidden", "msgbox ...").
  std::vector<std::string> log;
  std::vector<ShownMessage> messages;
  std::vector<FileOpenDialog> dialogsShown;  // the dialog's settings at each showing

  // What the window shows now; it starts as the window is built.
  std::string caption;
  std::array<bool, kButtonCount> buttonVisible{true, false, false, false};
  std::string statusText;
  std::string deviceName;
  bool progressVisible = false;
  bool menuEnabled = true;
  bool defaultChecked = true;
  bool customChecked = false;
  bool shown = false;
  bool unloaded = false;

  // Answers of the file dialog, in order: a path, or nullopt to cancel. Empty: cancel.
  std::deque<std::optional<std::string>> dialogAnswers;
  // Called when a message box is shown, before it returns.
  std::function<void(const ShownMessage&)> onMessage;

  // The names of the visible buttons, by index, for compact state checks.
  std::vector<int> VisibleButtons() const;
};

}  // namespace tlx::test
