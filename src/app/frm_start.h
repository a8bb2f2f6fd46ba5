// The program's one window: start-up, the button array and the window states, the device
// check, and the owner of the three buffers, FailureFlag and FlashInProgress. It is also what
// the firmware loader and the update engine see of the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/process_services.h"
#include "app/session_log.h"
#include "app/window_system.h"
#include "flash/update_engine.h"
#include "image/firmware_choice.h"
#include "image/firmware_loader.h"
#include "link/d2xx.h"
#include "link/flag16.h"
#include "link/tlx_module.h"

namespace tlx {

inline constexpr char kSupportAddress[] = "support@tambrelux.example";

class frmStart : private FirmwareChoice, private UpdateWindow {
 public:
  frmStart(WindowSystem& window, ProcessServices& process, D2xx& d2xx, SessionLog& log);

  // Event handlers, called by the window system.
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);
  void Form_Unload(bool& cancel);
  void Button_Click(std::int16_t index);
  void mnuFWCustom_Click();
  void mnuFWDefault_Click();

  void ResetWindow();
  void CheckDevice();

  // Allocated, zero-filled, at the end of Form_Load; never freed before the program ends.
  std::vector<std::uint8_t> ImageBuffer;
  std::vector<std::uint8_t> ImageCopy;
  std::vector<std::uint8_t> FileBuffer;
  std::int16_t FailureFlag = 0;
  Flag16 FlashInProgress = kFalse;
  FileOpenDialog CommonDialog1;

  TLXModule Link;
  FirmwareLoader Loader;
  UpdateEngine Engine;

 private:
  // Shows a message box and notes it as the session's outcome so far.
  void Tell(const std::string& text, const std::optional<std::string>& title, int style);
  void BeginSession();
  void FlashAndReport();
  void NoteFirmwareInLog();

  // What the loader sees of the window and the process.
  bool CustomChosen() const override;
  bool ShowOpen(FileOpenDialog& dialog) override;
  std::string ProgramPath() const override;

  // What the update engine sees of the window.
  void ShowFlashing() override;
  void ShowProgress(int value, int maximum) override;
  void ShowFailure(std::string_view title, std::string_view text) override;
  void DoEvents() override;

  WindowSystem& window_;
  ProcessServices& process_;
  SessionLog& log_;
};

}  // namespace tlx
