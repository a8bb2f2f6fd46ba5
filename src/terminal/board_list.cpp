#include "terminal/board_list.h"

#include <algorithm>
#include <cstring>

#include "link/device_location.h"
#include "link/tlx_module.h"

namespace tlx::terminal {
namespace {

// The node's strings are NUL-terminated within their arrays, or fill them.
template <std::size_t N>
std::string Text(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

BoardAccess AccessOf(DWORD flags) {
  if ((flags & FT_FLAGS_NO_ACCESS) != 0) return BoardAccess::NoAccess;
  if ((flags & FT_FLAGS_OPENED) != 0) return BoardAccess::OpenElsewhere;
  return BoardAccess::Free;
}

void MarkSerialsThatDoNotPick(std::vector<ListedBoard>& boards) {
  for (ListedBoard& board : boards) {
    board.needsPort =
        board.serial.empty() || std::ranges::count(boards, board.serial, &ListedBoard::serial) > 1;
  }
}

}  // namespace

FT_STATUS ListBoards(D2xx& d2xx, std::vector<ListedBoard>& boards) {
  boards.clear();
  DWORD count = 0;
  if (const FT_STATUS status = d2xx.FT_CreateDeviceInfoList(&count); status != FT_OK) return status;
  std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(count);
  if (count > 0) {
    if (const FT_STATUS status = d2xx.FT_GetDeviceInfoList(nodes.data(), &count); status != FT_OK)
      return status;
    nodes.resize(std::min<std::size_t>(count, nodes.size()));
  }
  for (const FT_DEVICE_LIST_INFO_NODE& node : nodes) {
    if (Text(node.Description) != kDeviceDescription) continue;
    boards.push_back(
        {node.LocId, PortPath(node.LocId), Text(node.SerialNumber), AccessOf(node.Flags), false});
  }
  // A location id orders as its port path does: the bus first, then each tier from the root.
  std::ranges::sort(boards, {}, &ListedBoard::locId);
  MarkSerialsThatDoNotPick(boards);
  return FT_OK;
}

std::string SerialText(const ListedBoard& board) {
  return board.serial.empty() ? "-" : board.serial;
}

std::string BoardName(const ListedBoard& board) {
  return "port " + board.port + ", " +
         (board.serial.empty() ? std::string("no serial") : "serial " + board.serial);
}

}  // namespace tlx::terminal
