#include "recording_window.h"

namespace tlx::test {
namespace {

std::string Shown(bool visible) {
  return visible ? "visible" : "hidden";
}

}  // namespace

void RecordingWindow::SetCaption(const std::string& text) {
  caption = text;
  log.push_back("caption " + text);
}

void RecordingWindow::SetButtonVisible(int index, bool visible) {
  if (index >= 0 && index < kButtonCount) buttonVisible[static_cast<std::size_t>(index)] = visible;
  log.push_back("button " + std::to_string(index) + " " + Shown(visible));
}

void RecordingWindow::SetLabelCaption(Label label, const std::string& text) {
  const bool status = label == Label::StatusText;
  (status ? statusText : deviceName) = text;
  log.push_back(std::string(status ? "StatusText" : "DeviceName") + " = " + text);
}

void RecordingWindow::SetProgressVisible(bool visible) {
  progressVisible = visible;
  log.push_back("progress " + Shown(visible));
}

void RecordingWindow::SetProgressMax(int maximum) {
  log.push_back("progress max " + std::to_string(maximum));
}

void RecordingWindow::SetProgressValue(int value) {
  log.push_back("progress value " + std::to_string(value));
}

void RecordingWindow::SetMenuEnabled(bool enabled) {
  menuEnabled = enabled;
  log.push_back(std::string("menu ") + (enabled ? "enabled" : "disabled"));
}

bool RecordingWindow::MenuChecked(MenuItem item) const {
  return item == MenuItem::FWDefault ? defaultChecked : customChecked;
}

void RecordingWindow::SetMenuChecked(MenuItem item, bool checked) {
  const bool isDefault = item == MenuItem::FWDefault;
  (isDefault ? defaultChecked : customChecked) = checked;
  log.push_back(std::string(isDefault ? "Default" : "Custom") +
                (checked ? " checked" : " unchecked"));
}

void RecordingWindow::MsgBox(const std::string& text, const std::optional<std::string>& title,
                             int style) {
  messages.push_back({text, title, style});
  log.push_back("msgbox " + title.value_or("<none>") + " | " + text);
  if (onMessage) onMessage(messages.back());
}

bool RecordingWindow::ShowOpen(FileOpenDialog& dialog) {
  dialogsShown.push_back(dialog);
  log.push_back("dialog " + dialog.DialogTitle);
  if (dialogAnswers.empty()) return false;
  const std::optional<std::string> answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  if (!answer) return false;
  dialog.FileName = *answer;
  return true;
}

void RecordingWindow::DoEvents() {
  log.push_back("doevents");
}

void RecordingWindow::Show() {
  shown = true;
  log.push_back("show");
}

void RecordingWindow::Unload() {
  unloaded = true;
  log.push_back("unload");
}

void RecordingWindow::End() {
  log.push_back("end");
}

std::vector<int> RecordingWindow::VisibleButtons() const {
  std::vector<int> visible;
  for (int i = 0; i < kButtonCount; ++i)
    if (buttonVisible[static_cast<std::size_t>(i)]) visible.push_back(i);
  return visible;
}

}  // namespace tlx::test
