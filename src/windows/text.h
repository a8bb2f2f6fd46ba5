// Windows speaks UTF-16; the program's strings are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tlx::windows {

std::string Utf8(std::wstring_view text);

}  // namespace tlx::windows
