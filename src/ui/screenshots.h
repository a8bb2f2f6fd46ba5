// Pictures of the window in each state it passes through and of each message box, as PNG
// files numbered in the order they were taken. Each picture carries a plain title bar, so
// the caption and the message titles show even where no window manager draws frames.
#pragma once

#include <QObject>
#include <QString>

#include "ui/main_window.h"
#include "ui/qt_window_system.h"

class QMessageBox;

namespace tlx::ui {

// The name of the state the window shows, or empty while it shows none of them.
QString WindowStateName(const MainWindow& window);

// The widget under a title bar with the window's icon and title.
QImage FramedGrab(QWidget& widget);

class Screenshots : public QObject {
  Q_OBJECT

 public:
  Screenshots(MainWindow& window, QtWindowSystem& windowSystem, const QString& directory);

 private:
  void CaptureWindow();
  void CaptureMessageBox(QMessageBox* box);
  void Save(QWidget& widget, const QString& what);
  void Write(const QImage& image) const;

  MainWindow& window_;
  QString directory_;
  int taken_ = 0;
  QString lastState_;
  QString lastFile_;
};

}  // namespace tlx::ui
