// Texts between the logic, which speaks UTF-8, and Windows, which speaks UTF-16.
#pragma once

#include <windows.h>

#include <string>

namespace tlx::win32 {

std::wstring Wide(const std::string& text);

// The text of a window or control.
std::wstring TextOf(HWND window);

}  // namespace tlx::win32
