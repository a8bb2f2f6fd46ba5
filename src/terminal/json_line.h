// One line of the JSON Lines that tlx-update writes for scripts: the fields in their order.
// Texts pass through as they are (UTF-8 included); a byte that is not UTF-8 becomes U+FFFD
// rather than ending the program.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "terminal/board_list.h"

namespace tlx::terminal {

using JsonFields = nlohmann::ordered_json;

// The board, when there is one, follows the first field, the event's name, as
// {"port", "serial"}.
std::string JsonLine(const JsonFields& fields, const ListedBoard* board = nullptr);

}  // namespace tlx::terminal
