#include "win32/autopilot.h"

#include <iostream>

#include "app/window_texts.h"
#include "win32/window_text.h"
#include "windows/text.h"

namespace tlx::win32 {
namespace {

// The control that holds a message box's text, in Windows and in Wine alike.
constexpr int kBoxTextId = 0xFFFF;

}  // namespace

Autopilot::Autopilot(MainWindow& window, Win32WindowSystem& windowSystem, const FormHost& host,
                     int pauseMs)
    : window_(window),
      windowSystem_(windowSystem),
      host_(host),
      pauseMs_(static_cast<UINT>(pauseMs)) {
  window_.Every(pauseMs_, [this] { Step(); });
}

bool Autopilot::Shows(int button) const {
  return (GetWindowLongW(window_.Button(button), GWL_STYLE) & WS_VISIBLE) != 0;
}

// What a click on the button tells its window, without moving the mouse or needing focus.
void Autopilot::Click(int button) {
  HWND control = window_.Button(button);
  SendMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

void Autopilot::Step() {
  // A handler is still running (the update yields to the event loop) or a box is open.
  if (!IsWindowVisible(window_.Handle()) || host_.Busy() || windowSystem_.BoxOpen()) return;
  if (Shows(kFlashDevice)) {
    Click(kFlashDevice);
  } else if (Shows(kOk)) {
    completed_ = completed_ || windows::Utf8(TextOf(window_.StatusText())) == kFlashCompleteText;
    Click(kOk);
  } else if (Shows(kFindDevice) && !findPressed_) {
    findPressed_ = true;
    Click(kFindDevice);
  } else if (Shows(kFindDevice)) {
    PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  }
}

void Autopilot::MessageBoxShown(HWND box) {
  std::cout << "message: " << windows::Utf8(TextOf(box)) << " | "
            << windows::Utf8(TextOf(GetDlgItem(box, kBoxTextId))) << std::endl;
  window_.After(pauseMs_, [box] { PostMessageW(box, WM_COMMAND, IDOK, 0); });
}

}  // namespace tlx::win32
