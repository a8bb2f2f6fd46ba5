// The four states of the window, each set up in one place. The buttons named are the only
// ones visible; the progress bar shows only while flashing.
#pragma once

#include <string>

#include "app/window_system.h"

namespace tlx {

// "Find Device", both lines empty, the menu enabled: at start-up and after every reset.
void ShowIdle(WindowSystem& window);
// "Flash Device" and "Abort Flash" under the firmware status line; the menu stays disabled.
void ShowReady(WindowSystem& window, const std::string& statusLine);
// No button, the bar at 0, "Flashing device...".
void ShowFlashing(WindowSystem& window);
// "Ok!" under "Flash Complete!"; the hardware line stays, so the user sees which board was done.
void ShowComplete(WindowSystem& window);

}  // namespace tlx
