// The device check behind "Find Device": ask the board again, load and judge the firmware
// image, and offer the flash only for an image this board can take.
#include <span>

#include "app/frm_start.h"
#include "app/window_states.h"

namespace tlx {

void frmStart::CheckDevice() {
  Link.PurgeLink();
  if (Link.LinkStatus == 0) {
    // A failed query is not a failure of the check: the lines show what it left.
    Link.QueryStatus();
    Link.PurgeLink();
  }
  if (Link.LinkStatus != 0) {
    UnloadWindow();
    Tell(UsbConnectionFailure(), kStyleOkOnly);
    log_.End();
    return;
  }
  log_.Board(Link.HardwareVersion, Link.FirmwareVersion);
  window_.SetLabelCaption(Label::DeviceName, HardwareLine(Link.HardwareVersion));

  Loader.LoadFirmware();
  NoteFirmwareInLog();
  if (Loader.FileLoaded != kTrue) {
    Tell(MissingFirmware(), kStyleOkOnly);
    FailureFlag = kDeviceCheckRefused;
  } else if (Loader.HeaderValid != kTrue) {
    FailureFlag = kDeviceCheckRefused;
    Tell(DeviceNotSupported(), kStyleOkOnly);
  } else if (Loader.Refuses(Refusal::TooOld)) {
    // Only the image's version counts: going back below the board's firmware is allowed.
    Tell(FirmwareTooOld(), kStyleOkOnly);
    FailureFlag = kDeviceCheckRefused;
  }
  if (FailureFlag != 0) {
    log_.End();
    return;
  }
  ShowReady(window_, StatusLine(Link.FirmwareVersion, {Loader.ImageMajor, Loader.ImageMinor}));
}

void frmStart::NoteFirmwareInLog() {
  if (Loader.FileLoaded != kTrue) return;
  log_.Firmware(Loader.LoadedPath, std::span(FileBuffer), {Loader.ImageMajor, Loader.ImageMinor});
}

}  // namespace tlx
