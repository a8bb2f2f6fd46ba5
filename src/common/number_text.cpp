#include "common/number_text.h"

#include <charconv>

#include "common/version_pair.h"

namespace tlx {
namespace {

std::optional<std::uint64_t> Digits(std::string_view text, int base) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

}  // namespace

std::optional<std::uint64_t> ParseWholeNumber(std::string_view text) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  return hex ? Digits(text.substr(2), 16) : Digits(text, 10);
}

std::optional<std::uint8_t> ParseVersionByte(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return {};
  const auto major = Digits(text.substr(0, dot), 10);
  const auto minor = Digits(text.substr(dot + 1), 10);
  if (!major || !minor || *major > 15 || *minor > 15) return {};
  return VersionPair{static_cast<std::uint8_t>(*major), static_cast<std::uint8_t>(*minor)}.Byte();
}

}  // namespace tlx
