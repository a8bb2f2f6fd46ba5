#include "ui/autopilot.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <iostream>

#include "app/window_texts.h"

namespace tlx::ui {

Autopilot::Autopilot(MainWindow& window, QtWindowSystem& windowSystem, int pauseMs)
    : window_(window), pauseMs_(pauseMs) {
  connect(&windowSystem, &QtWindowSystem::messageBoxShown, this, &Autopilot::Dismiss);
  connect(&timer_, &QTimer::timeout, this, &Autopilot::Step);
  timer_.start(pauseMs_);
}

bool Autopilot::Shows(int button) const {
  return window_.Button(button)->isVisibleTo(&window_);
}

void Autopilot::Step() {
  // A handler is still running (the update yields to the event loop) or a box is open.
  if (!window_.isVisible() || QApplication::activeModalWidget() != nullptr) return;
  if (Shows(1)) {
    window_.Button(1)->click();
  } else if (Shows(3)) {
    completed_ = completed_ || window_.StatusText()->text() == kFlashCompleteText;
    window_.Button(3)->click();
  } else if (Shows(0) && !findPressed_) {
    findPressed_ = true;
    window_.Button(0)->click();
  } else if (Shows(0)) {
    window_.close();
  }
}

void Autopilot::Dismiss(QMessageBox* box) {
  std::cout << "message: " << box->windowTitle().toStdString() << " | " << box->text().toStdString()
            << std::endl;
  QTimer::singleShot(pauseMs_, box, &QMessageBox::accept);
}

}  // namespace tlx::ui
