// The window's file-open dialog: the settings of the logic's FileOpenDialog handed to
// GetOpenFileNameW, and the chosen path handed back.
#pragma once

#include <windows.h>

#include "app/window_system.h"

namespace tlx::win32 {

// Modal. True with dialog.FileName set to the chosen file's full path (UTF-8); false when the
// user cancelled or the dialog could not be shown.
bool ShowOpenDialog(HWND owner, FileOpenDialog& dialog);

}  // namespace tlx::win32
