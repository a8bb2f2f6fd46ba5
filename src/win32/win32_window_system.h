// The window-system operations of the window logic, carried out on the native window. Unload
// and End are only recorded here; the host ends the program once the running handler returns.
#pragma once

#include <windows.h>

#include <vector>

#include "app/window_system.h"
#include "win32/main_window.h"
#include "win32/window_watcher.h"

namespace tlx::win32 {

class Win32WindowSystem : public WindowSystem {
 public:
  explicit Win32WindowSystem(MainWindow& window);

  void SetCaption(const std::string& text) override;
  void SetButtonVisible(int index, bool visible) override;
  void SetLabelCaption(Label label, const std::string& text) override;
  void SetProgressVisible(bool visible) override;
  void SetProgressMax(int maximum) override;
  void SetProgressValue(int value) override;
  void SetMenuEnabled(bool enabled) override;
  bool MenuChecked(MenuItem item) const override;
  void SetMenuChecked(MenuItem item, bool checked) override;
  void MsgBox(const std::string& text, const std::optional<std::string>& title, int style) override;
  bool ShowOpen(FileOpenDialog& dialog) override;
  void DoEvents() override;
  void Show() override;
  void Unload() override;
  void End() override;

  // Told in the order added.
  void AddWatcher(WindowWatcher& watcher) { watchers_.push_back(&watcher); }

  bool EndRequested() const { return endRequested_; }
  bool BoxOpen() const { return boxOpen_; }
  // Tells the watchers that the window shows a finished state.
  void Settle();

 private:
  // Looks for the box until it is on screen, then tells the watchers.
  void WatchForBox(const std::wstring& title, int attemptsLeft);

  MainWindow& window_;
  std::vector<WindowWatcher*> watchers_;
  bool endRequested_ = false;
  bool boxOpen_ = false;
};

// The message box of this thread with that title, or null.
HWND FindMessageBox(const std::wstring& title);

// Passes one message to the window or its dialog manager (Tab moves between the buttons).
void Deliver(HWND window, MSG& message);

}  // namespace tlx::win32
