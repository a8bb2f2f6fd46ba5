// Several boards updated in one run, each in its own lane on its own thread: every board is
// checked at once, one question covers all that are ready, and every ready board is flashed
// at once (with --yes, each as soon as its own check is done). A board's failure, unplug or stall
// stays in its lane; Ctrl-C is refused while any board is flashing.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/process_services.h"
#include "app/session_log_file.h"
#include "terminal/board_connector.h"
#include "terminal/board_lane.h"
#include "terminal/boards_report.h"
#include "terminal/close_requests.h"

namespace tlx::terminal {

struct BoardsRunSettings {
  std::string file;  // the firmware file; empty for the default one
  bool yes = false;
  bool skipCurrent = false;
};

// 0 when every board is complete (or already current); 1 when anything was written and a
// board is not; otherwise 5 when the flash was declined or stopped, else 3.
int BoardsExitStatus(const std::vector<BoardResult>& results);

class BoardsRun {
 public:
  // boards, in port order, must outlive the run.
  BoardsRun(const std::vector<ListedBoard>& boards, BoardConnector& connector,
            ProcessServices& process, std::shared_ptr<SessionLogFile> logFile, BoardsReport& report,
            CloseRequests& closeRequests, BoardsRunSettings settings);

  // The exit status.
  int Run();

 private:
  FirmwareFile ReadFirmwareOnce() const;
  // Runs step on each of the lanes at once, each on its own thread, until all return;
  // meanwhile close requests are served.
  void OnEachAtOnce(const std::vector<std::size_t>& lanes,
                    const std::function<void(std::size_t)>& step);
  void NoteCloseRequest();
  void FlashUnlessStopped(std::size_t lane);
  void ReportReady(std::size_t lane);
  // Lists the ready boards and asks; the boards not to be flashed are closed.
  bool ConfirmFlash(const std::vector<std::size_t>& ready);
  // Reports a lane's result once it has one.
  void Finish(std::size_t lane);

  const std::vector<ListedBoard>& boards_;
  BoardConnector& connector_;
  ProcessServices& process_;
  std::shared_ptr<SessionLogFile> logFile_;
  BoardsReport& report_;
  CloseRequests& closeRequests_;
  BoardsRunSettings settings_;
  std::vector<std::unique_ptr<BoardLane>> lanes_;
  std::mutex gate_;  // guards the three below
  int flashing_ = 0;
  bool stopRequested_ = false;
  bool refusalTold_ = false;
};

}  // namespace tlx::terminal
