// The window logic wired as the program wires it, but to a simulated board, a recording
// window and fixed process answers, with a fresh working directory for "TLX.fwu".
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/frm_start.h"
#include "fake_process.h"
#include "firmware_files.h"
#include "recording_window.h"
#include "sim/simulated_board.h"

namespace tlx::test {

enum Click : std::int16_t { FindDevice = 0, FlashDevice = 1, AbortFlash = 2, Ok = 3 };

// What the user sees of the window: visible buttons, status line, hardware line, menu
// enabled, progress bar shown.
using Surface = std::tuple<std::vector<int>, std::string, std::string, bool, bool>;

// The states of the window for a board with hardware 2.1 and firmware 1.3 and an image 2.0.
inline const Surface kIdle{{0}, "", "", true, false};
inline const Surface kReady{
    {1, 2}, "Firmware: v1.3  -  Upgrading to: v2.0", "Tambrelux Pro - Hardware v2.1", false, false};

class AppHarness {
 public:
  explicit AppHarness(sim::BoardConfig config = {.hardwareByte = 0x21, .firmwareByte = 0x13})
      : board(config) {}

  void WriteDefaultFirmware(std::uint8_t version) {
    WriteFirmware(workDir / "TLX.fwu", {.version = version});
  }

  Surface Shown() const {
    return {window.VisibleButtons(), window.statusText, window.deviceName, window.menuEnabled,
            window.progressVisible};
  }

  std::size_t Calls(sim::D2xxCall call) const { return board.CallTrace().Of(call).size(); }

  // Position of the first log line that starts with the given text; log size if none.
  std::size_t LogIndex(const std::string& start) const {
    const auto found = std::ranges::find_if(
        window.log, [&](const std::string& line) { return line.starts_with(start); });
    return static_cast<std::size_t>(found - window.log.begin());
  }

  TempFolder workDir;
  CurrentDirectory inWorkDir{workDir.Path()};
  sim::SimulatedBoard board;
  RecordingWindow window;
  FakeProcess process;
  std::ostringstream logWarnings;
  SessionLog log{{}, logWarnings};
  frmStart form{window, process, board.Port(), log};
};

}  // namespace tlx::test
