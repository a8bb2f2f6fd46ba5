#include "terminal/json_boards_report.h"

#include "terminal/json_line.h"

namespace tlx::terminal {

JsonBoardsReport::JsonBoardsReport(std::ostream& out, std::ostream& errors,
                                   const std::vector<ListedBoard>& boards)
    : out_(out), errors_(errors), boards_(boards) {
  for (const ListedBoard& board : boards)
    reports_.push_back(std::make_unique<JsonReport>(out, errors, board, lock_));
}

UpdateReport& JsonBoardsReport::Board(std::size_t index) {
  return *reports_.at(index);
}

void JsonBoardsReport::Ready(std::size_t index, VersionPair hardware, VersionPair firmware,
                             VersionPair image) {
  Write(JsonLine({{"event", "ready"},
                  {"hardware", VersionText(hardware)},
                  {"firmware", VersionText(firmware)},
                  {"image", VersionText(image)}},
                 &boards_.at(index)));
}

void JsonBoardsReport::Result(std::size_t index, const BoardResult& result) {
  Write(JsonLine({{"event", "result"},
                  {"exit", result.exitStatus},
                  {"outcome", EndName(result.end)},
                  {"text", result.text},
                  {"firmware_before", VersionText(result.firmware)},
                  {"firmware_after", VersionText(FirmwareAfter(result))},
                  {"seconds", result.elapsed.count() / 1000.0}},
                 &boards_.at(index)));
}

void JsonBoardsReport::Notice(const std::string& text) {
  const std::lock_guard lock(lock_);
  errors_ << text << std::endl;
}

void JsonBoardsReport::Summary(const std::vector<BoardResult>& results, int exitStatus) {
  const Tally tally = Count(results);
  Write(JsonLine({{"event", "summary"},
                  {"boards", results.size()},
                  {"complete", tally.complete},
                  {"already_current", tally.alreadyCurrent},
                  {"failed", tally.failed},
                  {"refused", tally.refused},
                  {"not_flashed", tally.stopped},
                  {"exit", exitStatus}}));
}

void JsonBoardsReport::Write(const std::string& line) {
  const std::lock_guard lock(lock_);
  out_ << line << std::endl;
}

}  // namespace tlx::terminal
