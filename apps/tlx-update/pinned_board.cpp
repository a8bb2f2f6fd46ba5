#include "pinned_board.h"

#include <cstring>
#include <vector>

#include "link/tlx_module.h"

namespace tlx::update_program {

PinnedBoard::PinnedBoard(std::shared_ptr<D2xx> d2xx, DWORD locId, std::string serial)
    : d2xx_(std::move(d2xx)), locId_(locId), serial_(std::move(serial)) {}

FT_STATUS PinnedBoard::FT_CreateDeviceInfoList(DWORD* numDevices) {
  return d2xx_->FT_CreateDeviceInfoList(numDevices);
}

FT_STATUS PinnedBoard::FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  return d2xx_->FT_GetDeviceInfoList(list, numDevices);
}

FT_STATUS PinnedBoard::FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) {
  if (flags != FT_OPEN_BY_DESCRIPTION || arg1 == nullptr || kDeviceDescription != std::string(arg1))
    return FT_DEVICE_NOT_FOUND;
  if (!SerialStillMatches()) return FT_DEVICE_NOT_FOUND;
  return d2xx_->FT_OpenEx(LocationArgument(locId_), FT_OPEN_BY_LOCATION, handle);
}

bool PinnedBoard::SerialStillMatches() {
  DWORD count = 0;
  if (d2xx_->FT_CreateDeviceInfoList(&count) != FT_OK) return false;
  std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(count);
  if (count > 0 && d2xx_->FT_GetDeviceInfoList(nodes.data(), &count) != FT_OK) return false;
  nodes.resize(std::min<std::size_t>(count, nodes.size()));
  for (const FT_DEVICE_LIST_INFO_NODE& node : nodes) {
    if (node.LocId != locId_) continue;
    return strnlen(node.SerialNumber, sizeof node.SerialNumber) == serial_.size() &&
           serial_.compare(0, serial_.size(), node.SerialNumber, serial_.size()) == 0;
  }
  return false;
}

}  // namespace tlx::update_program
