// Puts the header in front of a raw flash payload to make a whole image.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tlx::fwu {

inline constexpr std::uint8_t kErasedFlash = 0xFF;

struct HeaderFields {
  std::uint8_t byte2 = 0;
  std::uint8_t versionByte = 0;
  std::uint32_t length = 0;  // stored big-endian in image bytes 4 to 7
};

// A 65,544-byte image: "FW", the fields, then the payload (at most 65,536 bytes) padded with
// erased flash.
std::vector<std::uint8_t> BuildImage(const HeaderFields& header,
                                     std::span<const std::uint8_t> payload);

}  // namespace tlx::fwu
