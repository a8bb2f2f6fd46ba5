// Plays the user for demonstrations and end-to-end runs: presses "Find Device", then "Flash
// Device" when it shows, then "Ok!", dismisses every message box (printing it as
// "message: TITLE | TEXT"), and closes the window when it is back at "Find Device".
#pragma once

#include <windows.h>

#include "win32/form_host.h"
#include "win32/main_window.h"
#include "win32/win32_window_system.h"
#include "win32/window_watcher.h"

namespace tlx::win32 {

class Autopilot : public WindowWatcher {
 public:
  // pauseMs: how long each state and each message box stays before the next action.
  Autopilot(MainWindow& window, Win32WindowSystem& windowSystem, const FormHost& host, int pauseMs);

  // 0 when the window showed "Flash Complete!", 1 otherwise.
  int ExitCode() const { return completed_ ? 0 : 1; }

  void MessageBoxShown(HWND box) override;

 private:
  void Step();
  bool Shows(int button) const;
  void Click(int button);

  MainWindow& window_;
  const Win32WindowSystem& windowSystem_;
  const FormHost& host_;
  UINT pauseMs_;
  bool findPressed_ = false;
  bool completed_ = false;
};

}  // namespace tlx::win32
