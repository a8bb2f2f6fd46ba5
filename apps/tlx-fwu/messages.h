// What tlx-fwu tells its user: the failure that carries one sentence, and how names and sizes
// appear in its sentences and reports.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tlx::fwu {

// A wrong command line or a failed file operation, as one sentence naming the file or the
// option and the cause.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file name or an argument inside double quotes.
inline std::string Quoted(std::string_view text) {
  return std::string(1, '"').append(text).append(1, '"');
}

// 262176 as "262,176".
inline std::string GroupedNumber(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped += ',';
    }
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace tlx::fwu
