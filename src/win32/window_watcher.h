// What the screenshots and the autopilot learn from the window system: that the window shows
// a finished state, and that a message box is on screen (inside its own modal loop).
#pragma once

#include <windows.h>

namespace tlx::win32 {

class WindowWatcher {
 public:
  virtual ~WindowWatcher() = default;
  // The logic yields to the event loop, is about to show a message box, or a handler returned.
  virtual void Settled() {}
  virtual void MessageBoxShown(HWND /*box*/) {}
};

}  // namespace tlx::win32
