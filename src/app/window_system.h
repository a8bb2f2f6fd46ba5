// What the window logic asks of the window system. Kept small on purpose: the Qt window and the
// terminal realise it for users, a recording fake for tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tlx {

enum class Label { StatusText, DeviceName };
enum class MenuItem { FWDefault, FWCustom };

// The button array, by index.
inline constexpr int kFindDevice = 0;
inline constexpr int kFlashDevice = 1;
inline constexpr int kAbortFlash = 2;
inline constexpr int kOk = 3;
inline constexpr int kButtonCount = 4;

// Message box styles: bits that add to the OK-only box without an icon.
inline constexpr int kStyleOkOnly = 0;
inline constexpr int kStyleStopIcon = 16;
inline constexpr int kStyleSystemModal = 4096;
inline constexpr int kStyleStopSystemModal = kStyleStopIcon | kStyleSystemModal;

// File dialog flags: explorer-style, the chosen file must exist, no read-only check box.
inline constexpr std::uint32_t kDialogExplorer = 0x80000;
inline constexpr std::uint32_t kDialogFileMustExist = 0x1000;
inline constexpr std::uint32_t kDialogHideReadOnly = 0x4;
inline constexpr std::uint32_t kDialogFlags =
    kDialogExplorer | kDialogFileMustExist | kDialogHideReadOnly;

// The window's one file-open dialog. Its settings persist between uses.
struct FileOpenDialog {
  std::string DialogTitle;
  std::string Filter;  // "description|pattern|description|pattern"
  std::string InitDir;
  std::string FileName;  // empty before showing; the full chosen path after
  std::uint32_t Flags = 0;
  bool CancelError = false;  // report cancelling as a failure
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetButtonVisible(int index, bool visible) = 0;
  virtual void SetLabelCaption(Label label, const std::string& text) = 0;

  virtual void SetProgressVisible(bool visible) = 0;
  virtual void SetProgressMax(int maximum) = 0;
  virtual void SetProgressValue(int value) = 0;

  virtual void SetMenuEnabled(bool enabled) = 0;
  virtual bool MenuChecked(MenuItem item) const = 0;
  virtual void SetMenuChecked(MenuItem item, bool checked) = 0;

  // Modal; returns when dismissed. No title means the application title.
  virtual void MsgBox(const std::string& text, const std::optional<std::string>& title,
                      int style) = 0;
  // Modal file-open dialog. True with dialog.FileName set to the chosen path; false when
  // the user cancelled.
  virtual bool ShowOpen(FileOpenDialog& dialog) = 0;

  // One pass of the event loop, returning when no event is pending.
  virtual void DoEvents() = 0;
  virtual void Show() = 0;
  // Takes the window off the screen for good; frmStart has run its unload handler already.
  virtual void Unload() = 0;
  // Ends the program once the current handler returns.
  virtual void End() = 0;
};

}  // namespace tlx
