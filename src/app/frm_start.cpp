// Start-up, the button array, the window states and the close protocol of the one window.
#include "app/frm_start.h"

#include "app/window_states.h"
#include "image/firmware_image.h"

namespace tlx {

frmStart::frmStart(WindowSystem& window, ProcessServices& process, D2xx& d2xx, SessionLog& log)
    : Link(d2xx, ImageBuffer),
      Loader(window, process, CommonDialog1, FileBuffer, ImageBuffer),
      Engine(Link, *this, log, ImageBuffer, ImageCopy, FailureFlag),
      window_(window),
      process_(process),
      log_(log) {}

void frmStart::Form_Load() {
  BeginSession();
  if (process_.PrevInstance()) {
    Tell(AlreadyRunning(process_.InstanceHolder()), kStyleStopSystemModal);
    log_.End();
    UnloadWindow();
    window_.End();
    return;
  }
  window_.SetCaption(WindowCaption(process_.VersionMajor(), process_.VersionMinor()));

  if (Link.DeviceHandle == 0) {
    Link.OpenDevice();
    if (Link.LinkStatus != 0) {
      // The connection is closed before the user reads why the program is going away.
      UnloadWindow();
      Tell(HardwareNotFound(), kStyleOkOnly);
      log_.End();
      return;
    }
  }

  Link.QueryStatus();
  log_.Board(Link.HardwareVersion, Link.FirmwareVersion);
  if (Link.HardwareVersion.Major == 0 && Link.HardwareVersion.Minor == 0) {
    Tell(NotInUpdateMode(), kStyleStopSystemModal);
    log_.End();
    UnloadWindow();
    window_.End();
    return;
  }

  ShowIdle(window_);
  window_.Show();

  ImageBuffer.assign(kImageBytes, 0);
  ImageCopy.assign(kImageBytes, 0);
  FileBuffer.assign(kContainerSize, 0);
}

// A flash in progress must run to its end: stopping halfway leaves the board unbootable.
void frmStart::Form_QueryUnload(bool& cancel, int /*unloadMode*/) {
  if (FlashInProgress == kTrue) cancel = true;
}

void frmStart::Form_Unload(bool& /*cancel*/) {
  Link.CloseDevice();
  log_.WindowClosed();
}

bool frmStart::RequestClose() {
  if (unloaded_) return true;
  bool cancel = false;
  Form_QueryUnload(cancel, kCloseFromControlMenu);
  if (cancel) return false;
  UnloadWindow();
  return unloaded_;
}

void frmStart::UnloadWindow() {
  if (unloaded_) return;
  bool cancel = false;
  Form_Unload(cancel);
  if (cancel) return;
  unloaded_ = true;
  window_.Unload();
}

void frmStart::Button_Click(std::int16_t index) {
  FailureFlag = 0;
  switch (index) {
    case kFindDevice:
      BeginSession();
      window_.SetMenuEnabled(false);
      CheckDevice();
      if (FailureFlag != 0) ResetWindow();
      break;
    case kFlashDevice:
      FlashAndReport();
      break;
    case kAbortFlash:
      log_.Result("Abort Flash: nothing was written");
      log_.End();
      ResetWindow();
      break;
    case kOk:
      ResetWindow();
      break;
    default:
      break;
  }
}

void frmStart::FlashAndReport() {
  FlashInProgress = kTrue;
  Engine.FlashDevice();
  if (FailureFlag != 0) {
    ResetWindow();
  } else {
    ShowComplete(window_);
    FlashInProgress = kFalse;
    log_.Result(kFlashCompleteText);
  }
  log_.End();
}

void frmStart::ResetWindow() {
  ShowIdle(window_);
  FlashInProgress = kFalse;
}

void frmStart::mnuFWCustom_Click() {
  Loader.GivenFile.clear();
  window_.SetMenuChecked(MenuItem::FWCustom, true);
  window_.SetMenuChecked(MenuItem::FWDefault, false);
}

void frmStart::mnuFWDefault_Click() {
  Loader.GivenFile.clear();
  window_.SetMenuChecked(MenuItem::FWCustom, false);
  window_.SetMenuChecked(MenuItem::FWDefault, true);
}

void frmStart::BeginSession() {
  log_.Begin(process_.ExeName() + " " + std::to_string(process_.VersionMajor()) + "." +
             std::to_string(process_.VersionMinor()));
}

void frmStart::Tell(const MessageText& message, int style) {
  const std::optional<std::string> title =
      message.title ? std::optional<std::string>(*message.title) : std::nullopt;
  window_.MsgBox(message.text, title, style);
  log_.Result(title.value_or(kApplicationTitle) + ": " + message.text);
}

void frmStart::ShowFlashing() {
  tlx::ShowFlashing(window_);
}

void frmStart::ShowProgress(int value, int maximum) {
  window_.SetProgressMax(maximum);
  window_.SetProgressValue(value);
}

void frmStart::ShowFailure(const UpdateFailure& failure) {
  Tell(UpdateFailureText(failure), kStyleOkOnly);
}

void frmStart::DoEvents() {
  window_.DoEvents();
}

}  // namespace tlx
