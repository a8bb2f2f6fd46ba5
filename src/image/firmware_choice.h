// What the firmware loader asks of the window and the process around it: which source the
// "Firmware Version" menu chose, the file-open dialog, and where the program lives. Declared
// here, so the loader knows nothing of the window logic that realises it.
#pragma once

#include <cstdint>
#include <string>

namespace tlx {

// Dialog flags: explorer-style, the chosen file must exist, no read-only check box.
inline constexpr std::uint32_t kDialogExplorer = 0x80000;
inline constexpr std::uint32_t kDialogFileMustExist = 0x1000;
inline constexpr std::uint32_t kDialogHideReadOnly = 0x4;

// The window's one file-open dialog. Its settings persist between uses.
struct FileOpenDialog {
  std::string DialogTitle;
  std::string Filter;  // "description|pattern|description|pattern"
  std::string InitDir;
  std::string FileName;  // empty before showing; the full chosen path after
  std::uint32_t Flags = 0;
  bool CancelError = false;  // report cancelling as a failure
};

class FirmwareChoice {
 public:
  virtual ~FirmwareChoice() = default;

  // Whether "Custom" carries the check mark; anything else means the default file.
  virtual bool CustomChosen() const = 0;
  // Modal; true with dialog.FileName set to the chosen path, false when cancelled.
  virtual bool ShowOpen(FileOpenDialog& dialog) = 0;
  // The directory that holds the executable.
  virtual std::string ProgramPath() const = 0;
};

}  // namespace tlx
