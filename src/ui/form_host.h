// Delivers the window's events to frmStart's handlers: button clicks, the two menu items and
// close requests. After each handler it ends the program if the window was unloaded or the
// logic asked to end, as no window is then left.
#pragma once

#include <QObject>

#include "app/frm_start.h"
#include "ui/main_window.h"
#include "ui/qt_window_system.h"

namespace tlx::ui {

class FormHost : public QObject {
  Q_OBJECT

 public:
  FormHost(MainWindow& window, QtWindowSystem& windowSystem, frmStart& form);

  // Runs Form_Load. Afterwards Finished() tells whether the program already ended.
  void Load();
  bool Finished() const;

 private:
  // Runs one handler, then lets the program end if the handler ended it.
  template <typename Handler>
  void Dispatch(Handler handler);
  bool CloseRequested();

  MainWindow& window_;
  QtWindowSystem& windowSystem_;
  frmStart& form_;
};

}  // namespace tlx::ui
