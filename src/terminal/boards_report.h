// What tlx-update shows of several boards updated at once: each board's events as its session
// reports them (from its own thread), the boards ready to flash before the question, one
// result per board and, last, the summary. For people as live rows on a terminal or as lines
// led by each board's port and serial elsewhere; for scripts as JSON Lines.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/version_pair.h"
#include "terminal/board_list.h"
#include "terminal/update_report.h"

namespace tlx::terminal {

enum class BoardEnd { Complete, AlreadyCurrent, Failed, Refused, Stopped };

struct BoardResult {
  ListedBoard board;
  BoardEnd end = BoardEnd::Refused;
  int exitStatus = 0;
  std::string text;                     // the outcome as the user was told
  std::optional<VersionPair> firmware;  // the board's before the run, once it answered
  std::optional<VersionPair> image;     // the file's, once the board was ready for it
  std::chrono::milliseconds elapsed{0};
};

// How the total line and the JSON result name an end: "complete", "already current",
// "failed", "refused", "not flashed".
const char* EndName(BoardEnd end);
// The board's firmware after the run, when it is known.
std::optional<VersionPair> FirmwareAfter(const BoardResult& result);
// "1.3"; "-" for nothing.
std::string VersionText(std::optional<VersionPair> version);

struct Tally {
  std::size_t complete = 0, alreadyCurrent = 0, failed = 0, refused = 0, stopped = 0;
};
Tally Count(const std::vector<BoardResult>& results);
// "8 boards: 7 complete, 1 failed".
std::string TotalLine(const std::vector<BoardResult>& results);
// The table of port, serial, old and new firmware, time and result, one row per board.
std::string SummaryTable(const std::vector<BoardResult>& results);

class BoardsReport {
 public:
  virtual ~BoardsReport() = default;

  // The report board index's session writes to; only that board's thread uses it.
  virtual UpdateReport& Board(std::size_t index) = 0;
  virtual void Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
                     VersionPair image) = 0;
  // Before a question on the terminal: nothing is redrawn over it.
  virtual void Pause() = 0;
  virtual void Result(std::size_t index, const BoardResult& result) = 0;
  // A line of the program's own, on the error stream.
  virtual void Notice(const std::string& text) = 0;
  // Once, last.
  virtual void Summary(const std::vector<BoardResult>& results, int exitStatus) = 0;
};

}  // namespace tlx::terminal
