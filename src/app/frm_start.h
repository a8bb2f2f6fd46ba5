// The program's one window: start-up, the button array and the window states, the device
// check, the close protocol, and the owner of the three buffers, FailureFlag and
// FlashInProgress. It is also what the update engine sees of the window.
#pragma once

#include <cstdint>
#include <vector>

#include "app/firmware_loader.h"
#include "app/process_services.h"
#include "app/session_log.h"
#include "app/window_system.h"
#include "app/window_texts.h"
#include "common/flag16.h"
#include "flash/update_engine.h"
#include "link/d2xx.h"
#include "link/tlx_module.h"

namespace tlx {

// FailureFlag after a device check that refused the board's firmware file. It has the value
// of a verify failure, but it means the check's refusal: nothing was written.
inline constexpr std::int16_t kDeviceCheckRefused = -1;

// The kind of close request RequestClose passes on, whichever face asked; the logic treats
// every kind alike.
inline constexpr int kCloseFromControlMenu = 0;

class frmStart : private UpdateWindow {
 public:
  frmStart(WindowSystem& window, ProcessServices& process, D2xx& d2xx, SessionLog& log);

  // Event handlers, called by the window system.
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);
  void Form_Unload(bool& cancel);
  void Button_Click(std::int16_t index);
  void mnuFWCustom_Click();
  void mnuFWDefault_Click();

  // The one way a face closes the window: asks Form_QueryUnload, which refuses while a flash
  // runs, then unloads. True when the window is gone (also when it was gone already).
  bool RequestClose();
  bool Unloaded() const { return unloaded_; }

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
  void Tell(const MessageText& message, int style);
  // Runs the unload handler, then takes the window away.
  void UnloadWindow();
  void BeginSession();
  void FlashAndReport();
  void NoteFirmwareInLog();

  // What the update engine sees of the window.
  void ShowFlashing() override;
  void ShowProgress(int value, int maximum) override;
  void ShowFailure(const UpdateFailure& failure) override;
  void DoEvents() override;

  WindowSystem& window_;
  ProcessServices& process_;
  SessionLog& log_;
  bool unloaded_ = false;
};

}  // namespace tlx
