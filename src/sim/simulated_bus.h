// Several simulated boards on one USB bus behind one D2XX realisation, as a production line
// or a bench with a hub shows them: one device list of them all, each board opened by
// description, serial number or location, and every call on a handle going to its board.
//
// Each board may be driven from a thread of its own. The handle table and the list are
// guarded by the bus; a board's own calls run outside that guard, so boards never wait on
// one another, and a board's pacing sleeps only in the thread that calls it.
//
// Choices where the library leaves room:
// - By description, the first board that is plugged in and held by no one opens; when every
//   board is held, FT_DEVICE_NOT_OPENED.
// - The device list leaves out a board that is gone. One is still handed an open that names
//   no board plugged in, and refuses it, so a lone board's trace reads as without the bus.
// - By serial number, the first board with that serial, as the library does when serials
//   repeat (the program refuses repeats itself before opening); FT_DEVICE_NOT_FOUND when
//   none has it.
// - Handles are unique across the bus, never 0 and never reused.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "link/d2xx.h"
#include "sim/simulated_board.h"

namespace tlx::sim {

class SimulatedBus final : public D2xx {
 public:
  // Board k (from 1) is built from configs[k - 1] at position k.
  SimulatedBus(const std::vector<BoardConfig>& configs, Pace pace);

  std::size_t Count() const { return boards_.size(); }
  // index from 0.
  SimulatedBoard& Board(std::size_t index) { return *boards_.at(index); }
  const SimulatedBoard& Board(std::size_t index) const { return *boards_.at(index); }

  FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevices) override;
  FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) override;
  FT_STATUS FT_OpenEx(const char* arg1, DWORD flags, FT_HANDLE* handle) override;
  FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, DWORD* type, DWORD* id, char* serialNumber,
                             char* description) override;
  FT_STATUS FT_SetTimeouts(FT_HANDLE handle, DWORD readTimeout, DWORD writeTimeout) override;
  FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) override;
  FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, DWORD inTransferSize,
                                DWORD outTransferSize) override;
  FT_STATUS FT_Write(FT_HANDLE handle, const std::uint8_t* buffer, DWORD bytesToWrite,
                     DWORD* bytesWritten) override;
  FT_STATUS FT_Read(FT_HANDLE handle, std::uint8_t* buffer, DWORD bytesToRead,
                    DWORD* bytesReturned) override;
  FT_STATUS FT_Purge(FT_HANDLE handle, DWORD mask) override;
  FT_STATUS FT_Close(FT_HANDLE handle) override;

 private:
  struct Opened {
    std::size_t board = 0;
    FT_HANDLE inner = 0;  // the board's own handle
  };
  // The board an open names, reserved for the caller; otherwise the status that ends it.
  struct Choice {
    std::optional<std::size_t> board;
    FT_STATUS refusal = FT_DEVICE_NOT_FOUND;
  };

  Choice Reserve(const char* arg1, DWORD flags);
  std::optional<Opened> Find(FT_HANDLE handle);
  // Runs call(board's port, board's handle) outside the bus's guard.
  template <typename Call>
  FT_STATUS OnBoard(FT_HANDLE handle, Call call);

  std::vector<std::unique_ptr<SimulatedBoard>> boards_;
  std::mutex mutex_;        // guards everything below
  std::vector<bool> held_;  // by a handle of this program, or reserved by an open under way
  std::map<FT_HANDLE, Opened> handles_;
  FT_HANDLE lastHandle_ = 0;
  std::vector<FT_DEVICE_LIST_INFO_NODE> listed_;
};

}  // namespace tlx::sim
