// The program's strings are UTF-8 on every system. A path made from one must say so: Windows
// would read a plain string's bytes in the ANSI code page and miss a file named "Prüfung.fwu".
#pragma once

#include <filesystem>
#include <string>

namespace tlx {

inline std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace tlx
