// Sizes and header layout of a decoded firmware image and of its .fwu container.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "link/version_pair.h"

namespace tlx {

inline constexpr std::size_t kImageHeaderSize = 8;
inline constexpr std::size_t kPayloadSize = 65536;
inline constexpr std::size_t kImageSize = kImageHeaderSize + kPayloadSize;  // 65,544
inline constexpr std::size_t kGroupSize = 4;  // one data byte, three filler bytes
inline constexpr std::size_t kContainerSize = kImageSize * kGroupSize;  // 262,176
inline constexpr std::uint8_t kInitialKey = 0x9B;

// Header fields of a decoded image.
inline constexpr std::size_t kSignatureOffset = 0;  // "FW"
inline constexpr std::size_t kByte2Offset = 2;
inline constexpr std::size_t kVersionOffset = 3;  // major in the high nibble
inline constexpr std::size_t kLengthOffset = 4;   // big-endian, 4 bytes; byte 4 must be 0

// Bytes 0 and 1 are exactly "FW" (case-sensitive).
bool SignatureMatches(std::span<const std::uint8_t, kImageSize> image);
// Accepted when the signature matches and byte 4 is 0; nothing else is looked at.
bool HeaderAccepted(std::span<const std::uint8_t, kImageSize> image);
VersionPair ImageVersion(std::span<const std::uint8_t, kImageSize> image);
// The updater refuses images older than 1.2, whatever the board runs now.
bool VersionTooOld(VersionPair version);

}  // namespace tlx
