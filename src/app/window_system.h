// What the window logic, the firmware loader and the update engine ask of the window system.
// Kept small on purpose: the Qt window realises it for users, a recording fake for tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tlx {

enum class Label { StatusText, DeviceName };
enum class MenuItem { FWDefault, FWCustom };

// Message box styles: OK only without icon, or stop icon and system-modal with OK.
inline constexpr int kStyleOkOnly = 0;
inline constexpr int kStyleStopSystemModal = 4112;

inline constexpr int kButtonCount = 4;

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
  virtual int ProgressValue() const = 0;
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
  // Closes the window; the window system then calls frmStart::Form_Unload.
  virtual void Unload() = 0;
  // Ends the program once the current handler returns.
  virtual void End() = 0;
};

}  // namespace tlx
