// SHA-256 of a byte string, so the session log can name the exact firmware file that was used.
// The digest comes from the system's own cryptographic library (nettle on Linux), never from
// code of ours.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tlx {

// 64 lowercase hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace tlx
