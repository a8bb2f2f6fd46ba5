// Delivers the window's events to frmStart's handlers: button clicks, the two menu items and
// close requests. After each handler it ends the message loop if the window was unloaded or
// the logic asked to end, as no window is then left.
#pragma once

#include "app/frm_start.h"
#include "win32/main_window.h"
#include "win32/win32_window_system.h"

namespace tlx::win32 {

class FormHost {
 public:
  FormHost(MainWindow& window, Win32WindowSystem& windowSystem, frmStart& form);

  // Runs Form_Load. Afterwards Finished() tells whether the program already ended.
  void Load();
  bool Finished() const;
  // A handler is running: it yields to the event loop while it works.
  bool Busy() const { return running_ > 0; }

 private:
  // Runs one handler, then ends the message loop if the handler ended the program.
  template <typename Handler>
  void Dispatch(Handler handler);

  Win32WindowSystem& windowSystem_;
  frmStart& form_;
  int running_ = 0;
};

}  // namespace tlx::win32
