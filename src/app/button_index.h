// Indexes of the window's button array.
#pragma once

namespace tlx {

inline constexpr int kFindDevice = 0;
inline constexpr int kFlashDevice = 1;
inline constexpr int kAbortFlash = 2;
inline constexpr int kOk = 3;

}  // namespace tlx
