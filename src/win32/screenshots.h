// Pictures of the window in each state it passes through and of each message box, as PNG
// files numbered in the order they were taken: "NN-state.png", "NN-message-title.png". Each
// is the whole window as Windows draws it, frame and caption included.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "win32/main_window.h"
#include "win32/window_watcher.h"

namespace tlx::win32 {

class Screenshots : public WindowWatcher {
 public:
  Screenshots(MainWindow& window, std::filesystem::path directory);
  ~Screenshots() override;
  Screenshots(const Screenshots&) = delete;
  Screenshots& operator=(const Screenshots&) = delete;

  void Settled() override;
  void MessageBoxShown(HWND box) override;

 private:
  void Save(HWND window, const std::string& what);
  void Write(HWND window) const;

  MainWindow& window_;
  std::filesystem::path directory_;
  ULONG_PTR gdiplus_ = 0;
  int taken_ = 0;
  std::string lastState_;
  std::filesystem::path lastFile_;
};

}  // namespace tlx::win32
