#include "app/window_states.h"

#include "app/window_texts.h"

namespace tlx {

void ShowIdle(WindowSystem& window) {
  window.SetButtonVisible(kFindDevice, true);
  window.SetButtonVisible(kFlashDevice, false);
  window.SetButtonVisible(kAbortFlash, false);
  window.SetButtonVisible(kOk, false);
  window.SetProgressVisible(false);
  window.SetLabelCaption(Label::StatusText, "");
  window.SetLabelCaption(Label::DeviceName, "");
  window.SetMenuEnabled(true);
}

void ShowReady(WindowSystem& window, const std::string& statusLine) {
  window.SetLabelCaption(Label::StatusText, statusLine);
  window.SetButtonVisible(kFindDevice, false);
  window.SetButtonVisible(kFlashDevice, true);
  window.SetButtonVisible(kAbortFlash, true);
}

void ShowFlashing(WindowSystem& window) {
  window.SetButtonVisible(kFlashDevice, false);
  window.SetButtonVisible(kAbortFlash, false);
  window.SetProgressVisible(true);
  window.SetProgressValue(0);
  window.SetLabelCaption(Label::StatusText, kFlashingText);
}

void ShowComplete(WindowSystem& window) {
  window.SetButtonVisible(kOk, true);
  window.SetButtonVisible(kFlashDevice, false);
  window.SetButtonVisible(kAbortFlash, false);
  window.SetProgressVisible(false);
  window.SetLabelCaption(Label::StatusText, kFlashCompleteText);
  window.SetMenuEnabled(true);
}

}  // namespace tlx
