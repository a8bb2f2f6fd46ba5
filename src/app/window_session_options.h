// What a window program is asked to do on its command line, the same for every face of the
// window: the firmware file to use, and whether to play the user and keep screenshots.
#pragma once

#include <string>

namespace tlx {

struct WindowSessionOptions {
  std::string givenFile;  // empty: the source the Firmware Version menu chooses
  bool autopilot = false;
  int autopilotPauseMs = 600;
  std::string screenshotDirectory;  // empty: no screenshots
};

}  // namespace tlx
