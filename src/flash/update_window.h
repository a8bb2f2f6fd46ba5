// What the update engine needs of the window, declared here so the engine knows nothing of
// the window logic above it: the flashing state, the progress it counts itself, the one
// failure an update ends with (the window words it), and a pass of the event loop per block.
#pragma once

#include <string_view>

namespace tlx {

// Communication and bootloader failures leave FailureFlag -2, a verify failure -1.
enum class FailureKind { Communication, Verify, Bootloader };

struct UpdateFailure {
  std::string_view step;  // the region's label, "Step 2"; the bracket's for Bootloader
  FailureKind kind = FailureKind::Communication;
};

class UpdateWindow {
 public:
  virtual ~UpdateWindow() = default;

  // "Flash Device" and "Abort Flash" hidden, the bar shown at 0, "Flashing device...".
  virtual void ShowFlashing() = 0;
  // value never exceeds maximum.
  virtual void ShowProgress(int value, int maximum) = 0;
  // One message box, modal, OK button only, no icon; returns when dismissed.
  virtual void ShowFailure(const UpdateFailure& failure) = 0;
  // One pass of the event loop, returning when no event is pending.
  virtual void DoEvents() = 0;
};

}  // namespace tlx
