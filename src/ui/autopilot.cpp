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
  if (Shows(kFlashDevice)) {
    window_.Button(kFlashDevice)->click();
  } else if (Shows(kOk)) {
    completed_ = completed_ || window_.StatusText()->text() == kFlashCompleteText;
    window_.Button(kOk)->click();
  } else if (Shows(kFindDevice) && !findPressed_) {
    findPressed_ = true;
    window_.Button(kFindDevice)->click();
  } else if (Shows(kFindDevice)) {
    window_.close();
  }
}

void Autopilot::Dismiss(QMessageBox* box) {
  std::cout << "message: " << box->windowTitle().toStdString() << " | " << box->text().toStdString()
            << std::endl;
  QTimer::singleShot(pauseMs_, box, &QMessageBox::accept);
}

}  // namespace tlx::ui
