#include "terminal/boards_report.h"

#include <algorithm>
#include <cstdio>

namespace tlx::terminal {

std::optional<VersionPair> FirmwareAfter(const BoardResult& result) {
  if (result.end == BoardEnd::Complete) return result.image;
  // A failed update leaves the board's firmware unknown: only the bootloader is sure.
  if (result.end == BoardEnd::Failed) return std::nullopt;
  return result.firmware;
}

std::string VersionText(std::optional<VersionPair> version) {
  if (!version) return "-";
  return std::to_string(version->Major) + "." + std::to_string(version->Minor);
}

const char* EndName(BoardEnd end) {
  switch (end) {
    case BoardEnd::Complete:
      return "complete";
    case BoardEnd::AlreadyCurrent:
      return "already current";
    case BoardEnd::Failed:
      return "failed";
    case BoardEnd::Refused:
      return "refused";
    case BoardEnd::Stopped:
      return "not flashed";
  }
  return "";
}

Tally Count(const std::vector<BoardResult>& results) {
  const auto count = [&](BoardEnd end) {
    return static_cast<std::size_t>(std::ranges::count(results, end, &BoardResult::end));
  };
  return {count(BoardEnd::Complete), count(BoardEnd::AlreadyCurrent), count(BoardEnd::Failed),
          count(BoardEnd::Refused), count(BoardEnd::Stopped)};
}

std::string TotalLine(const std::vector<BoardResult>& results) {
  const Tally tally = Count(results);
  std::string line = std::to_string(results.size()) +
                     (results.size() == 1 ? " board: " : " boards: ") +
                     std::to_string(tally.complete) + " " + EndName(BoardEnd::Complete);
  const std::pair<std::size_t, BoardEnd> others[] = {
      {tally.alreadyCurrent, BoardEnd::AlreadyCurrent},
      {tally.failed, BoardEnd::Failed},
      {tally.refused, BoardEnd::Refused},
      {tally.stopped, BoardEnd::Stopped}};
  for (const auto& [count, end] : others)
    if (count > 0) line += ", " + std::to_string(count) + " " + EndName(end);
  return line;
}

std::string SummaryTable(const std::vector<BoardResult>& results) {
  std::size_t portWidth = 4, serialWidth = 6;
  for (const BoardResult& result : results) {
    portWidth = std::max(portWidth, result.board.port.size());
    serialWidth = std::max(serialWidth, result.board.serial.size());
  }
  const auto row = [&](const std::string& port, const std::string& serial, const std::string& old,
                       const std::string& now, const std::string& time, const std::string& text) {
    char cells[160];
    std::snprintf(cells, sizeof cells, "%-*s  %-*s  %-4s  %-4s  %7s  ", static_cast<int>(portWidth),
                  port.c_str(), static_cast<int>(serialWidth), serial.c_str(), old.c_str(),
                  now.c_str(), time.c_str());
    return cells + text + "\n";
  };
  std::string table = row("PORT", "SERIAL", "OLD", "NEW", "TIME", "RESULT");
  for (const BoardResult& result : results) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", result.elapsed.count() / 1000.0);
    table += row(result.board.port, SerialText(result.board), VersionText(result.firmware),
                 VersionText(FirmwareAfter(result)), seconds, result.text);
  }
  return table;
}

}  // namespace tlx::terminal
