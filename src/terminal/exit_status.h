// tlx-update's exit statuses, for scripts.
#pragma once

namespace tlx::terminal {

inline constexpr int kExitComplete = 0;
// A communication, verify or bootloader failure during the update.
inline constexpr int kExitUpdateFailed = 1;
// 2 is a wrong command line, as for every program of the updater.
// Refused before anything was written: no board, not in update mode, a USB failure during
// the check, a missing, invalid or too old firmware file.
inline constexpr int kExitRefused = 3;
inline constexpr int kExitAlreadyRunning = 4;
// The user declined, or asked to stop before the update began.
inline constexpr int kExitStopped = 5;

}  // namespace tlx::terminal
