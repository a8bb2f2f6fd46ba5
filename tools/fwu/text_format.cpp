#include "text_format.h"

#include <charconv>

namespace tlx::fwu {
namespace {

std::optional<std::uint64_t> ParseDigits(std::string_view text, int base) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) {
    return ParseDigits(text.substr(2), 16);
  }
  return ParseDigits(text, 10);
}

std::optional<std::uint64_t> ParseDecimal(std::string_view text) {
  return ParseDigits(text, 10);
}

std::string GroupedNumber(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t i = digits.size(); i > 3; i -= 3) {
    digits.insert(i - 3, ",");
  }
  return digits;
}

std::string HexByte(std::uint8_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  return {'0', 'x', kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace tlx::fwu
