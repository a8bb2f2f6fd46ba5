// Start-up, the button array and the window states of the one window.
#include "app/frm_start.h"

#include "app/button_index.h"
#include "app/window_texts.h"
#include "image/firmware_image.h"

namespace tlx {
namespace {

// The Idle surface: only Find Device, no progress bar, both labels empty.
void ShowIdleSurface(WindowSystem& window) {
  window.SetButtonVisible(kFindDevice, true);
  window.SetButtonVisible(kFlashDevice, false);
  window.SetButtonVisible(kAbortFlash, false);
  window.SetButtonVisible(kOk, false);
  window.SetProgressVisible(false);
  window.SetLabelCaption(Label::StatusText, "");
  window.SetLabelCaption(Label::DeviceName, "");
}

// Find Device stays hidden and the hardware line stays, so the user sees which board was done.
void EnterCompleteState(WindowSystem& window, Flag16& flashInProgress) {
  window.SetButtonVisible(kOk, true);
  window.SetButtonVisible(kFlashDevice, false);
  window.SetButtonVisible(kAbortFlash, false);
  window.SetProgressVisible(false);
  window.SetLabelCaption(Label::StatusText, kFlashCompleteText);
  flashInProgress = kFalse;
  window.SetMenuEnabled(true);
}

}  // namespace

frmStart::frmStart(WindowSystem& window, ProcessServices& process, D2xx& d2xx)
    : Link(d2xx, ImageBuffer),
      Loader(window, process, CommonDialog1, FileBuffer, ImageBuffer),
      Engine(Link, window, ImageBuffer, ImageCopy, FailureFlag),
      window_(window),
      process_(process) {}

void frmStart::Form_Load() {
  if (process_.PrevInstance()) {
    window_.MsgBox(process_.ExeName() + " already running! ", std::nullopt, kStyleStopSystemModal);
    window_.Unload();
    window_.End();
    return;
  }
  window_.SetCaption(WindowCaption(process_.VersionMajor(), process_.VersionMinor()));

  if (Link.DeviceHandle == 0) {
    Link.OpenDevice();
    if (Link.LinkStatus != 0) {
      // The connection is closed before the user reads why the program is going away.
      window_.Unload();
      window_.MsgBox("Tambrelux Pro hardware not found!", "USB Error!", kStyleOkOnly);
      return;
    }
  }

  Link.QueryStatus();
  if (Link.HardwareVersion.Major == 0 && Link.HardwareVersion.Minor == 0) {
    window_.MsgBox("Tambrelux Not in update mode! ", std::nullopt, kStyleStopSystemModal);
    window_.Unload();
    window_.End();
    return;
  }

  ShowIdleSurface(window_);
  window_.Show();

  ImageBuffer.assign(kImageSize, 0);
  ImageCopy.assign(kImageSize, 0);
  FileBuffer.assign(kContainerSize, 0);
}

// A flash in progress must run to its end: stopping halfway leaves the board unbootable.
void frmStart::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
  if (FlashInProgress == kTrue) cancel = true;
}

void frmStart::Form_Unload(bool& /*cancel*/) {
  Link.CloseDevice();
}

void frmStart::Button_Click(std::int16_t index) {
  FailureFlag = 0;
  switch (index) {
    case kFindDevice:
      window_.SetMenuEnabled(false);
      CheckDevice();
      if (FailureFlag != 0) ResetWindow();
      break;
    case kFlashDevice:
      FlashInProgress = kTrue;
      Engine.FlashDevice();
      if (FailureFlag != 0) {
        ResetWindow();
      } else {
        EnterCompleteState(window_, FlashInProgress);
      }
      break;
    case kAbortFlash:
    case kOk:
      ResetWindow();
      break;
    default:
      break;
  }
}

void frmStart::ResetWindow() {
  ShowIdleSurface(window_);
  window_.SetMenuEnabled(true);
  FlashInProgress = kFalse;
}

void frmStart::mnuFWCustom_Click() {
  window_.SetMenuChecked(MenuItem::FWCustom, true);
  window_.SetMenuChecked(MenuItem::FWDefault, false);
}

void frmStart::mnuFWDefault_Click() {
  window_.SetMenuChecked(MenuItem::FWCustom, false);
  window_.SetMenuChecked(MenuItem::FWDefault, true);
}

}  // namespace tlx
