// Text as one row of a terminal shows it: cut at a character's boundary to the columns it may
// fill, so that the terminal never wraps it. A character of the wide East Asian scripts or an
// emoji takes two columns, any other one; a control character, which could move the cursor,
// shows as a space, and a byte that is not UTF-8 as U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tlx::terminal {

std::string CutToColumns(std::string_view text, std::size_t columns);

}  // namespace tlx::terminal
