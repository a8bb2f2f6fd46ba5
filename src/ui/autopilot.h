// Plays the user for demonstrations and end-to-end runs: presses "Find Device", then "Flash
// Device" when it shows, then "Ok!", dismisses every message box (printing it as
// "message: TITLE | TEXT"), and closes the window when it is back at "Find Device".
#pragma once

#include <QObject>
#include <QTimer>

#include "ui/main_window.h"
#include "ui/qt_window_system.h"

class QMessageBox;

namespace tlx::ui {

class Autopilot : public QObject {
  Q_OBJECT

 public:
  // pauseMs: how long each state and each message box stays before the next action.
  Autopilot(MainWindow& window, QtWindowSystem& windowSystem, int pauseMs);

  // 0 when the window showed "Flash Complete!", 1 otherwise.
  int ExitCode() const { return completed_ ? 0 : 1; }

 private:
  void Step();
  void Dismiss(QMessageBox* box);
  bool Shows(int button) const;

  MainWindow& window_;
  QTimer timer_;
  int pauseMs_;
  bool findPressed_ = false;
  bool completed_ = false;
};

}  // namespace tlx::ui
