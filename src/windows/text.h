// Windows speaks UTF-16; the program's strings are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tlx::windows {

std::string Utf8(std::wstring_view text);

// The command line as the user typed it, program name first, in UTF-8: main's argv holds only
// what the ANSI code page can spell, so a file named "東京.fwu" would not be found.
std::vector<std::string> Utf8Arguments();

}  // namespace tlx::windows
