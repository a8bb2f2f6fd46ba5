// The answer to the question "Flash ...? [y/N]" as the user typed it.
#pragma once

#include <string>

namespace tlx::terminal {

// "y" or "yes" in any case, blanks anywhere ignored; anything else is no.
bool IsYes(std::string answer);

}  // namespace tlx::terminal
