#include "terminal/board_lane.h"

#include "terminal/exit_status.h"

namespace tlx::terminal {

BoardLane::BoardLane(const ListedBoard& board, std::shared_ptr<D2xx> d2xx, ProcessServices& process,
                     std::shared_ptr<SessionLogFile> logFile, UpdateReport& report,
                     const FirmwareFile& firmware)
    : board_(board),
      d2xx_(std::move(d2xx)),
      window_(report),
      log_(std::move(logFile)),
      form_(window_, process, *d2xx_, log_),
      session_(form_, window_, process, report, nullptr, true) {
  log_.NameBoard(board.port, board.serial);
  form_.Loader.GivenFile = firmware.path;
  form_.Loader.GivenBytes = firmware.bytes;
}

bool BoardLane::Check(bool skipCurrent) {
  Timed([&] {
    outcome_ = session_.Check();
    // Start-up asks the board: its versions stand once it answered in update mode.
    answered_ = Hardware() != VersionPair{};
    ready_ = !outcome_;
    if (ready_ && skipCurrent && Image() == Firmware()) LeaveCurrent();
  });
  return !outcome_;
}

void BoardLane::Flash() {
  Timed([&] {
    outcome_ = session_.Flash();
    end_ = outcome_->exitStatus == kExitComplete ? BoardEnd::Complete : BoardEnd::Failed;
  });
}

void BoardLane::Decline() {
  outcome_ = session_.Decline();
  end_ = BoardEnd::Stopped;
}

void BoardLane::Stop() {
  outcome_ = session_.Stop();
  end_ = BoardEnd::Stopped;
}

// Flash wears: a board re-run after a partial failure is written only when it needs it.
void BoardLane::LeaveCurrent() {
  const std::string text = "Already current: firmware " + terminal::VersionText(Firmware()) +
                           " is the file's; not written";
  log_.Result(text);
  log_.End();
  outcome_ = session_.Close(kExitComplete, text);
  end_ = BoardEnd::AlreadyCurrent;
}

BoardResult BoardLane::Result() const {
  BoardResult result{board_,
                     end_,
                     outcome_ ? outcome_->exitStatus : kExitStopped,
                     outcome_ ? outcome_->text : std::string(),
                     std::nullopt,
                     std::nullopt,
                     std::chrono::duration_cast<std::chrono::milliseconds>(elapsed_)};
  if (answered_) result.firmware = Firmware();
  if (ready_) result.image = Image();
  return result;
}

void BoardLane::Timed(const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  elapsed_ += std::chrono::steady_clock::now() - start;
}

}  // namespace tlx::terminal
