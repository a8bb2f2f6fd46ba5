// A version as the board and the image header store it: one byte, major in the high nibble.
#pragma once

#include <cstdint>

namespace tlx {

struct VersionPair {
  std::uint8_t Major = 0;
  std::uint8_t Minor = 0;

  static constexpr VersionPair FromByte(std::uint8_t byte) {
    return {static_cast<std::uint8_t>(byte >> 4), static_cast<std::uint8_t>(byte & 0x0F)};
  }
  constexpr std::uint8_t Byte() const { return static_cast<std::uint8_t>(Major * 16 + Minor); }
  friend constexpr bool operator==(VersionPair, VersionPair) = default;
};

}  // namespace tlx
