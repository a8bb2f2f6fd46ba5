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
                     std::to_string(tally.complete) + " complete";
  const std::pair<std::size_t, const char*> others[] = {{tally.alreadyCurrent, "already current"},
                                                        {tally.failed, "failed"},
                                                        {tally.refused, "refused"},
                                                        {tally.stopped, "not flashed"}};
  for (const auto& [count, name] : others)
    if (count > 0) line += ", " + std::to_string(count) + " " + name;
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
    table +=
        row(result.board.port, result.board.serial.empty() ? "-" : result.board.serial,
            VersionText(result.firmware), VersionText(FirmwareAfter(result)), seconds, result.text);
  }
  return table;
}

}  // namespace tlx::terminal
