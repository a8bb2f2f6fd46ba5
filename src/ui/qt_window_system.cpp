#include "ui/qt_window_system.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "ui/file_dialog.h"
#include "ui/message_box.h"

namespace tlx::ui {

QtWindowSystem::QtWindowSystem(MainWindow& window) : window_(window) {}

void QtWindowSystem::SetCaption(const std::string& text) {
  window_.setWindowTitle(QString::fromStdString(text));
}

void QtWindowSystem::SetButtonVisible(int index, bool visible) {
  if (index >= 0 && index < kButtonCount) window_.Button(index)->setVisible(visible);
}

void QtWindowSystem::SetLabelCaption(Label label, const std::string& text) {
  QLabel* target = label == Label::StatusText ? window_.StatusText() : window_.DeviceName();
  target->setText(QString::fromStdString(text));
}

void QtWindowSystem::SetProgressVisible(bool visible) {
  window_.ProgressBar()->setVisible(visible);
}

void QtWindowSystem::SetProgressMax(int maximum) {
  window_.ProgressBar()->setMaximum(maximum);
}

void QtWindowSystem::SetProgressValue(int value) {
  window_.ProgressBar()->setValue(value);
}

void QtWindowSystem::SetMenuEnabled(bool enabled) {
  window_.FWVersionMenu()->menuAction()->setEnabled(enabled);
}

bool QtWindowSystem::MenuChecked(MenuItem item) const {
  return (item == MenuItem::FWCustom ? window_.FWCustom() : window_.FWDefault())->isChecked();
}

void QtWindowSystem::SetMenuChecked(MenuItem item, bool checked) {
  (item == MenuItem::FWCustom ? window_.FWCustom() : window_.FWDefault())->setChecked(checked);
}

void QtWindowSystem::MsgBox(const std::string& text, const std::optional<std::string>& title,
                            int style) {
  emit settled();
  QWidget* parent = window_.isVisible() ? &window_ : nullptr;
  std::unique_ptr<QMessageBox> box = MakeMessageBox(parent, text, title, style);
  QMessageBox* shown = box.get();
  QTimer::singleShot(0, shown, [this, shown] { emit messageBoxShown(shown); });
  box->exec();
}

bool QtWindowSystem::ShowOpen(FileOpenDialog& dialog) {
  return ShowOpenDialog(window_.isVisible() ? &window_ : nullptr, dialog);
}

void QtWindowSystem::DoEvents() {
  emit settled();
  QCoreApplication::processEvents();
}

void QtWindowSystem::Show() {
  window_.show();
}

void QtWindowSystem::Unload() {
  window_.hide();
}

void QtWindowSystem::End() {
  endRequested_ = true;
}

}  // namespace tlx::ui
