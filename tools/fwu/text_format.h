// Numbers as tlx-fwu reads them from the command line, and numbers and names as it writes
// them for people.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tlx::fwu {

// Decimal, or hexadecimal after "0x"; nothing else in the text.
std::optional<std::uint64_t> ParseNumber(std::string_view text);

// Decimal digits only.
std::optional<std::uint64_t> ParseDecimal(std::string_view text);

// 262176 as "262,176".
std::string GroupedNumber(std::uint64_t value);

// 0x07 as "0x07".
std::string HexByte(std::uint8_t value);

// A file name or an argument inside double quotes.
std::string Quoted(std::string_view text);

}  // namespace tlx::fwu
