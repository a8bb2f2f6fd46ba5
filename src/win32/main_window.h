// The updater's one window as a native Win32 window: a fixed 336 x 273 client area under the
// "Firmware Version" menu, the board picture, the two text lines and one row where the
// buttons and the progress bar take turns. It reports clicks, menu choices and close
// requests to whoever set the callbacks, and runs timers for the host's helpers.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>

#include "app/window_system.h"

namespace tlx::win32 {

inline constexpr wchar_t kWindowClass[] = L"TambreluxProUpdater";

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_; }
  HWND Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
  HWND DeviceName() const { return deviceName_; }
  HWND StatusText() const { return statusText_; }
  HWND ProgressBar() const { return progressBar_; }

  void SetMenuEnabled(bool enabled);
  bool MenuChecked(MenuItem item) const;
  void SetMenuChecked(MenuItem item, bool checked);

  // Calls action every periodMs until the window goes, or once after periodMs.
  void Every(UINT periodMs, std::function<void()> action);
  void After(UINT delayMs, std::function<void()> action);

  std::function<void(int index)> onButton;
  std::function<void(MenuItem item)> onMenuItem;
  // Asked on every close request; the window stays whatever it answers: closing is the
  // logic's business.
  std::function<void()> onCloseRequest;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Receive(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam);
  void OnTimer(UINT_PTR id);
  void BuildMenu();
  void BuildControls();
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id,
                  const RECT& place);
  void AddButton(int index);
  void AddPicture();
  void AddProgressBar();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HMENU firmwareMenu_ = nullptr;
  HFONT font_ = nullptr;
  HBITMAP board_ = nullptr;
  HICON smallIcon_ = nullptr;
  HICON largeIcon_ = nullptr;
  std::array<HWND, kButtonCount> buttons_{};
  HWND deviceName_ = nullptr;
  HWND statusText_ = nullptr;
  HWND progressBar_ = nullptr;
  struct Timer {
    std::function<void()> action;
    bool repeat;
  };
  std::map<UINT_PTR, Timer> timers_;
  UINT_PTR nextTimer_ = 1;
};

}  // namespace tlx::win32
