// The window-system operations of the window logic, carried out on the Qt window. End is only
// recorded here; the host ends the program once the running handler returns.
#pragma once

#include <QObject>

#include "app/window_system.h"
#include "ui/main_window.h"

class QMessageBox;

namespace tlx::ui {

class QtWindowSystem : public QObject, public WindowSystem {
  Q_OBJECT

 public:
  explicit QtWindowSystem(MainWindow& window);

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

  bool EndRequested() const { return endRequested_; }

 signals:
  // The window shows a finished state: the logic yields to the event loop, is about to show
  // a message box, or a handler returned.
  void settled();
  // A message box is on screen, inside its own event loop.
  void messageBoxShown(QMessageBox* box);

 private:
  MainWindow& window_;
  bool endRequested_ = false;
};

}  // namespace tlx::ui
