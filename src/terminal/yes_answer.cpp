#include "terminal/yes_answer.h"

#include <algorithm>
#include <cctype>

namespace tlx::terminal {

bool IsYes(std::string answer) {
  std::erase_if(answer, [](unsigned char c) { return std::isspace(c); });
  std::ranges::transform(answer, answer.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return answer == "y" || answer == "yes";
}

}  // namespace tlx::terminal
