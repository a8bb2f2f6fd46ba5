// Sizes and header layout of a decoded firmware image and of its .fwu container.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/image_layout.h"
#include "common/version_pair.h"

namespace tlx {

inline constexpr std::size_t kGroupSize = 4;  // one data byte, three filler bytes
inline constexpr std::size_t kContainerSize = kImageBytes * kGroupSize;  // 262,176
inline constexpr std::uint8_t kInitialKey = 0x9B;

// Header fields of a decoded image.
inline constexpr std::size_t kSignatureOffset = 0;  // "FW"
inline constexpr std::size_t kByte2Offset = 2;
inline constexpr std::size_t kVersionOffset = 3;  // major in the high nibble
inline constexpr std::size_t kLengthOffset = 4;   // big-endian, 4 bytes; byte 4 must be 0

VersionPair ImageVersion(std::span<const std::uint8_t, kImageBytes> image);

// Why the updater refuses a firmware file, in the order the device check tests them.
enum class Refusal {
  ShortContainer,  // fewer bytes than a whole container: the file is not read at all
  Signature,       // the header does not start with "FW"
  LengthByte,      // header byte 4 is not 0
  TooOld,          // the image's version is below 1.2
};

// The one verdict on a firmware file: every reason to refuse the image decoded from a file of
// containerBytes bytes, empty when the updater would flash it.
std::vector<Refusal> Refusals(std::span<const std::uint8_t, kImageBytes> image,
                              std::uintmax_t containerBytes);

}  // namespace tlx
