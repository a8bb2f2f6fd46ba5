// The window logic wired as the program wires it, but to a simulated board, a recording
// window and fixed process answers, with a fresh working directory for "TLX.fwu".
#pragma once

#include <algorithm>
#include <string>

#include "app/frm_start.h"
#include "fake_process.h"
#include "firmware_files.h"
#include "recording_window.h"
#include "sim/simulated_board.h"

namespace tlx::test {

class AppHarness {
 public:
  explicit AppHarness(sim::BoardConfig config = {}) : board(config) {
    window.onUnload = [this] {
      bool cancel = false;
      form.Form_Unload(cancel);
    };
  }

  // A close request from the user; true when the window went away.
  bool RequestClose() {
    bool cancel = false;
    form.Form_QueryUnload(cancel, 0);
    if (!cancel) window.Unload();
    return !cancel;
  }

  void WriteDefaultFirmware(std::uint8_t version) {
    WriteFirmware(workDir / "TLX.fwu", {.version = version});
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
  frmStart form{window, process, board.Port()};
};

}  // namespace tlx::test
