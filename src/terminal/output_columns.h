// How wide the terminal is that standard output writes to, asked anew at each call as the user
// may resize it. One file per system realises it.
#pragma once

#include <cstddef>
#include <optional>

namespace tlx::terminal {

// The columns of a row; nothing when standard output is no terminal or it cannot tell.
std::optional<std::size_t> OutputColumns();

}  // namespace tlx::terminal
