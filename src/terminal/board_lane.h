// One board of a multi-board run: its own connection, window, session log block and session
// of the window logic, used by one thread at a time. Nothing in it is shared with another
// board but the firmware file's bytes (read once, never written) and the log file.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/frm_start.h"
#include "app/session_log.h"
#include "terminal/board_list.h"
#include "terminal/boards_report.h"
#include "terminal/terminal_session.h"
#include "terminal/terminal_window.h"

namespace tlx::terminal {

struct FirmwareFile {
  std::string path;
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;  // empty when it could not be read
};

class BoardLane {
 public:
  BoardLane(const ListedBoard& board, std::shared_ptr<D2xx> d2xx, ProcessServices& process,
            std::shared_ptr<SessionLogFile> logFile, UpdateReport& report,
            const FirmwareFile& firmware);

  // Start-up and the device check. With skipCurrent, a board that already has the file's
  // version is left unwritten. True when the board is ready to flash.
  bool Check(bool skipCurrent);
  void Flash();
  void Decline();
  void Stop();
  // Whether the lane has its outcome: refused by the check, left as current, flashed or not.
  bool Ended() const { return outcome_.has_value(); }

  VersionPair Hardware() const { return form_.Link.HardwareVersion; }
  VersionPair Firmware() const { return form_.Link.FirmwareVersion; }
  VersionPair Image() const { return {form_.Loader.ImageMajor, form_.Loader.ImageMinor}; }
  BoardResult Result() const;

 private:
  void Timed(const std::function<void()>& step);
  void LeaveCurrent();

  ListedBoard board_;
  std::shared_ptr<D2xx> d2xx_;
  TerminalWindow window_;
  SessionLog log_;
  frmStart form_;
  TerminalSession session_;
  std::optional<SessionOutcome> outcome_;
  BoardEnd end_ = BoardEnd::Refused;
  bool answered_ = false;
  bool ready_ = false;
  std::chrono::steady_clock::duration elapsed_{};
};

}  // namespace tlx::terminal
