// The image buffer that every layer shares: an 8-byte header, then the board's whole flash.
// The board counts flash in 2-byte units, so flash address w covers image indexes 8 + 2w and
// 9 + 2w; one block is 512 entries of 4 bytes, 2,048 image bytes, 1,024 flash addresses.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tlx {

inline constexpr std::size_t kImageHeaderBytes = 8;
inline constexpr std::size_t kFlashBytes = 65536;
inline constexpr std::size_t kImageBytes = kImageHeaderBytes + kFlashBytes;  // 65,544
inline constexpr std::int32_t kBlockEntries = 512;

}  // namespace tlx
