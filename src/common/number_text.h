// Numbers and versions as people type them on command lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tlx {

// Decimal digits, or hexadecimal ones after "0x" or "0X"; no sign, no blanks, nothing else.
std::optional<std::uint64_t> ParseWholeNumber(std::string_view text);

// "X.Y" with X and Y decimal from 0 to 15, as a version byte: X in the high nibble.
std::optional<std::uint8_t> ParseVersionByte(std::string_view text);

}  // namespace tlx
