// The device check behind "Find Device": ask the board again, load and judge the firmware
// image, and offer the flash only for an image this board can take.
#include <string>

#include "app/button_index.h"
#include "app/frm_start.h"
#include "app/window_texts.h"
#include "image/firmware_image.h"

namespace tlx {

void frmStart::CheckDevice() {
  Link.PurgeLink();
  if (Link.LinkStatus == 0) {
    // A failed query is not a failure of the check: the lines show what it left.
    Link.QueryStatus();
    Link.PurgeLink();
  }
  if (Link.LinkStatus != 0) {
    window_.Unload();
    window_.MsgBox("USB Connection Failure!", "USB Error", kStyleOkOnly);
    return;
  }
  window_.SetLabelCaption(Label::DeviceName, HardwareLine(Link.HardwareVersion));

  Loader.LoadFirmware();
  if (Loader.FileLoaded != kTrue) {
    window_.MsgBox("Invalid or missing firmware file!", "Unable to update!", kStyleOkOnly);
    FailureFlag = -1;
    return;
  }
  if (Loader.HeaderValid != kTrue) {
    FailureFlag = -1;
    window_.MsgBox("Device not currently supported for upgrading!", "Device not supported!",
                   kStyleOkOnly);
    return;
  }
  // Only the image's version counts: going back below the board's firmware is allowed.
  const VersionPair image{Loader.ImageMajor, Loader.ImageMinor};
  if (VersionTooOld(image)) {
    window_.MsgBox(std::string("Firmware is too old to update! Contact ") + kSupportAddress + "!",
                   "Unable to update!", kStyleOkOnly);
    FailureFlag = -1;
    return;
  }

  window_.SetLabelCaption(Label::StatusText, StatusLine(Link.FirmwareVersion, image));
  window_.SetButtonVisible(kFindDevice, false);
  window_.SetButtonVisible(kFlashDevice, true);
  window_.SetButtonVisible(kAbortFlash, true);
}

}  // namespace tlx
