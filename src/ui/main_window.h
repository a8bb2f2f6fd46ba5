// The one window of the updater as the user sees it: a fixed 336 x 273 client area under
// the "Firmware Version" menu, the board picture, the two text lines and one row where the
// buttons and the progress bar take turns.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

#include "app/window_system.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

namespace tlx::ui {

// The board icon, drawn at 16 and 32 pixels.
QIcon ProgramIcon();

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();

  QPushButton* Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
  QLabel* DeviceName() const { return deviceName_; }
  QLabel* StatusText() const { return statusText_; }
  QProgressBar* ProgressBar() const { return progressBar_; }
  QMenu* FWVersionMenu() const { return fwVersion_; }
  QAction* FWDefault() const { return fwDefault_; }
  QAction* FWCustom() const { return fwCustom_; }

  // Asked on every close request; returning false keeps the window open.
  std::function<bool()> onCloseRequest;

 signals:
  void buttonClicked(int index);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildControls(QWidget* client);
  void AddButton(QWidget* client, int index);
  void AddPicture(QWidget* client);
  void AddProgressBar(QWidget* client);

  std::array<QPushButton*, kButtonCount> buttons_{};
  QLabel* deviceName_ = nullptr;
  QLabel* statusText_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QMenu* fwVersion_ = nullptr;
  QAction* fwDefault_ = nullptr;
  QAction* fwCustom_ = nullptr;
};

}  // namespace tlx::ui
