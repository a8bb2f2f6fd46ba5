// A window as Windows draws it, frame and caption included, written to a PNG file through
// GDI+. Needs GDI+ started.
#pragma once

#include <windows.h>

#include <filesystem>

namespace tlx::win32 {

// False when the window could not be drawn or the file not written.
bool SaveWindowPng(HWND window, const std::filesystem::path& file);

}  // namespace tlx::win32
