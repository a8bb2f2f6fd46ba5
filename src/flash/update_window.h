// What the update engine needs of the window, declared here so the engine knows nothing of
// the window logic above it: the flashing state, the progress it counts itself, the one message
// a failure ends with, and a pass of the event loop once per block.
#pragma once

#include <string_view>

namespace tlx {

class UpdateWindow {
 public:
  virtual ~UpdateWindow() = default;

  // "Flash Device" and "Abort Flash" hidden, the bar shown at 0, "Flashing device...".
  virtual void ShowFlashing() = 0;
  // value never exceeds maximum.
  virtual void ShowProgress(int value, int maximum) = 0;
  // Modal, OK button only, no icon; returns when dismissed.
  virtual void ShowFailure(std::string_view title, std::string_view text) = 0;
  // One pass of the event loop, returning when no event is pending.
  virtual void DoEvents() = 0;
};

}  // namespace tlx
