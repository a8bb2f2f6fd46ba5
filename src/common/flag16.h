// Booleans shared between the board tool's parts are 16-bit: 0 false, -1 true. Only exactly
// -1 counts as true where a flag is compared with true.
#pragma once

#include <cstdint>

namespace tlx {

using Flag16 = std::int16_t;
inline constexpr Flag16 kTrue = -1;
inline constexpr Flag16 kFalse = 0;

}  // namespace tlx
