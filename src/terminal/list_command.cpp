#include "terminal/list_command.h"

#include <algorithm>
#include <cstdio>

#include "link/tlx_module.h"
#include "terminal/boards_report.h"
#include "terminal/json_line.h"

namespace tlx::terminal {
namespace {

struct Answer {
  bool opened = false;
  VersionPair hardware, firmware;
};

// The start-up status query, on a connection of its own that is closed again.
Answer AskBootloader(const ListedBoard& board, BoardConnector& connector) {
  const std::shared_ptr<D2xx> d2xx = connector.Connect(board);
  std::vector<std::uint8_t> noImage;
  TLXModule link(*d2xx, noImage);
  link.OpenDevice();
  if (link.LinkStatus != 0) return {};
  link.QueryStatus();
  const Answer answer{link.LinkStatus == 0, link.HardwareVersion, link.FirmwareVersion};
  link.CloseDevice();
  return answer;
}

std::string StateText(const ListedBoard& board) {
  switch (board.access) {
    case BoardAccess::Free:
      return "free";
    case BoardAccess::OpenElsewhere:
      return "open in another program";
    case BoardAccess::NoAccess:
      return "no access";
  }
  return "";
}

std::string AnswerText(const ListedBoard& board, const Answer& answer) {
  if (board.access != BoardAccess::Free) return "-";
  if (!answer.opened) return "did not answer";
  if (answer.hardware == VersionPair{}) return "not in update mode";
  return "hardware " + VersionText(answer.hardware) + ", firmware " + VersionText(answer.firmware);
}

std::string Note(const ListedBoard& board) {
  if (!board.needsPort) return "";
  return std::string(board.serial.empty() ? "no serial" : "serial repeated") +
         ": pick it with --port " + board.port;
}

}  // namespace

void ListCommand(const std::vector<ListedBoard>& boards, BoardConnector& connector, bool json,
                 const std::string& noAccessAdvice, std::ostream& out, std::ostream& errors) {
  if (!json) {
    char header[96];
    std::snprintf(header, sizeof header, "%-12s %-16s %-24s %s", "PORT", "SERIAL", "STATE",
                  "BOOTLOADER");
    out << header << "\n";
  }
  for (const ListedBoard& board : boards) {
    const Answer answer =
        board.access == BoardAccess::Free ? AskBootloader(board, connector) : Answer{};
    if (json) {
      JsonFields line{{"event", "board"},
                      {"port", board.port},
                      {"serial", board.serial},
                      {"state", StateText(board)},
                      {"bootloader", AnswerText(board, answer)}};
      if (board.needsPort) line["note"] = Note(board);
      out << JsonLine(line) << "\n";
      continue;
    }
    char row[160];
    std::snprintf(row, sizeof row, "%-12s %-16s %-24s %s", board.port.c_str(),
                  SerialText(board).c_str(), StateText(board).c_str(),
                  AnswerText(board, answer).c_str());
    out << row << (board.needsPort ? "  (" + Note(board) + ")" : "") << "\n";
  }
  if (!json && boards.empty()) out << "No Tambrelux Pro board is attached.\n";
  out << std::flush;
  if (std::ranges::any_of(
          boards, [](const ListedBoard& board) { return board.access == BoardAccess::NoAccess; }))
    errors << noAccessAdvice << std::endl;
}

}  // namespace tlx::terminal
