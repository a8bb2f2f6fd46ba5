// A digest as people compare it with sha256sum's: two lowercase hex digits a byte.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tlx {

inline std::string HexText(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

}  // namespace tlx
