#include "terminal/screen_columns.h"

#include <algorithm>
#include <utility>

namespace tlx::terminal {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kReplacementText = "\xEF\xBF\xBD";

constexpr std::pair<char32_t, char32_t> kWideRanges[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},  {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},  {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};

struct Character {
  char32_t code;
  std::size_t bytes;
};

// The character that text starts with; a byte that starts none stands alone for U+FFFD.
Character FirstCharacter(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t bytes = lead < 0x80   ? 1
                            : lead < 0xC2 ? 0
                            : lead < 0xE0 ? 2
                            : lead < 0xF0 ? 3
                            : lead < 0xF5 ? 4
                                          : 0;
  if (bytes == 0 || bytes > text.size()) return {kReplacement, 1};
  char32_t code = bytes == 1 ? lead : lead & (0x7F >> bytes);
  for (std::size_t at = 1; at < bytes; ++at) {
    const auto next = static_cast<unsigned char>(text[at]);
    if ((next & 0xC0) != 0x80) return {kReplacement, 1};
    code = code << 6 | (next & 0x3F);
  }
  return {code, bytes};
}

std::size_t Columns(char32_t code) {
  const bool wide = std::ranges::any_of(kWideRanges, [code](const auto& range) {
    return code >= range.first && code <= range.second;
  });
  return wide ? 2 : 1;
}

bool IsControl(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

}  // namespace

std::string CutToColumns(std::string_view text, std::size_t columns) {
  std::string shown;
  std::size_t used = 0;
  while (!text.empty()) {
    const Character character = FirstCharacter(text);
    used += Columns(character.code);
    if (used > columns) break;
    if (IsControl(character.code))
      shown += ' ';
    else if (character.code == kReplacement)
      shown += kReplacementText;
    else
      shown += text.substr(0, character.bytes);
    text.remove_prefix(character.bytes);
  }
  return shown;
}

}  // namespace tlx::terminal
