// SHA-256 of a byte string, so the session log can name the exact firmware file that was used
// without depending on anything beyond the standard library.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tlx {

// 64 lowercase hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace tlx
