#include "sim/simulated_bus.h"

#include "link/device_list.h"

namespace tlx::sim {

SimulatedBus::SimulatedBus(const std::vector<BoardConfig>& configs, Pace pace)
    : held_(configs.size(), false) {
  for (std::size_t i = 0; i < configs.size(); ++i)
    boards_.push_back(std::make_unique<SimulatedBoard>(configs[i], pace, static_cast<int>(i + 1)));
}

FT_STATUS SimulatedBus::FT_CreateDeviceInfoList(DWORD* numDevices) {
  if (numDevices == nullptr) return FT_INVALID_PARAMETER;
  std::lock_guard lock(mutex_);
  std::vector<FT_HANDLE> openHere(boards_.size(), 0);
  for (const auto& [handle, opened] : handles_) openHere[opened.board] = handle;
  listed_.clear();
  for (std::size_t i = 0; i < boards_.size(); ++i)
    if (boards_[i]->Present()) listed_.push_back(ListNode(boards_[i]->Identity(), openHere[i]));
  *numDevices = static_cast<DWORD>(listed_.size());
  return FT_OK;
}

FT_STATUS SimulatedBus::FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  std::lock_guard lock(mutex_);
  return CopyDeviceList(listed_, list, numDevices);
}

SimulatedBus::Choice SimulatedBus::Reserve(const char* arg1, DWORD flags) {
  std::lock_guard lock(mutex_);
  Choice choice;
  std::optional<std::size_t> gone;
  for (std::size_t i = 0; i < boards_.size(); ++i) {
    const SimulatedBoard& board = *boards_[i];
    if (!Answers(board.Identity(), arg1, flags)) continue;
    if (!board.Present()) {
      if (!gone && !held_[i]) gone = i;
      continue;
    }
    choice.refusal = FT_DEVICE_NOT_OPENED;
    // A board another program holds is handed an open by serial or location, so that its
    // trace shows the refusal; only a search by description passes over a board taken.
    const bool byDescription = flags == FT_OPEN_BY_DESCRIPTION;
    if (!held_[i] && !(byDescription && board.Identity().busy)) choice.board = i;
    if (choice.board || !byDescription) break;
  }
  // Likewise a board that is gone, when no other answers: its trace shows the open it refused.
  if (!choice.board && choice.refusal == FT_DEVICE_NOT_FOUND) choice.board = gone;
  if (choice.board) held_[*choice.board] = true;
  return choice;
}

FT_STATUS SimulatedBus::FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) {
  if (handle == nullptr) return FT_INVALID_PARAMETER;
  const Choice choice = Reserve(arg1, flags);
  if (!choice.board) return choice.refusal;
  FT_HANDLE inner = 0;
  const FT_STATUS status = boards_[*choice.board]->Port().FT_OpenEx(arg1, flags, &inner);
  std::lock_guard lock(mutex_);
  if (status != FT_OK) {
    held_[*choice.board] = false;
    return status;
  }
  *handle = ++lastHandle_;
  handles_[*handle] = {*choice.board, inner};
  return FT_OK;
}

std::optional<SimulatedBus::Opened> SimulatedBus::Find(FT_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const auto found = handles_.find(handle);
  if (found == handles_.end()) return std::nullopt;
  return found->second;
}

template <typename Call>
FT_STATUS SimulatedBus::OnBoard(FT_HANDLE handle, Call call) {
  const std::optional<Opened> opened = Find(handle);
  if (!opened) return FT_INVALID_HANDLE;
  return call(boards_[opened->board]->Port(), opened->inner);
}

FT_STATUS SimulatedBus::FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id,
                                         char* serialNumber, char* description) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) {
    return port.FT_GetDeviceInfo(inner, type, id, serialNumber, description);
  });
}

FT_STATUS SimulatedBus::FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) {
    return port.FT_SetTimeouts(inner, readTimeout, writeTimeout);
  });
}

FT_STATUS SimulatedBus::FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) {
    return port.FT_SetLatencyTimer(inner, milliseconds);
  });
}

FT_STATUS SimulatedBus::FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                            DWORD outTransferSize) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) {
    return port.FT_SetUSBParameters(inner, inTransferSize, outTransferSize);
  });
}

FT_STATUS SimulatedBus::FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                                 DWORD* bytesWritten) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) {
    return port.FT_Write(inner, buffer, bytesToWrite, bytesWritten);
  });
}

FT_STATUS SimulatedBus::FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                                DWORD* bytesReturned) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) {
    return port.FT_Read(inner, buffer, bytesToRead, bytesReturned);
  });
}

FT_STATUS SimulatedBus::FT_Purge(FT_HANDLE handle, DWORD mask) {
  return OnBoard(handle, [&](D2xx& port, FT_HANDLE inner) { return port.FT_Purge(inner, mask); });
}

// The board keeps a handle whose close it refuses, and so does the bus.
FT_STATUS SimulatedBus::FT_Close(FT_HANDLE handle) {
  const std::optional<Opened> opened = Find(handle);
  if (!opened) return FT_INVALID_HANDLE;
  const FT_STATUS status = boards_[opened->board]->Port().FT_Close(opened->inner);
  if (status != FT_OK) return status;
  std::lock_guard lock(mutex_);
  handles_.erase(handle);
  held_[opened->board] = false;
  return FT_OK;
}

}  // namespace tlx::sim
