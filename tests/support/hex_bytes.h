// Bytes written as hex text, so tests can state wire bytes the way the trace shows them.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tlx::test {

// "53 49" or "5349" -> {0x53, 0x49}; blanks are ignored.
inline std::vector<std::uint8_t> Bytes(std::string_view hex) {
  std::string digits;
  for (char c : hex)
    if (c != ' ') digits += c;
  if (digits.size() % 2 != 0) throw std::invalid_argument("odd number of hex digits");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline std::string Hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

// The n bytes from first, most significant first, as the bootloader's frames carry numbers.
inline std::uint32_t BigEndian(std::span<const std::uint8_t> data, std::size_t first,
                               std::size_t n) {
  std::uint32_t value = 0;
  for (std::size_t i = first; i < first + n; ++i) value = (value << 8) | data[i];
  return value;
}

// A recognisable, position-dependent block of test data.
inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
  return bytes;
}

}  // namespace tlx::test
