// The D2XX calls over the simulated board's bridge, with the library's statuses, byte
// counts and read timeout, the fault plan applied call by call, every call traced and paced.
// A call takes effect at its end by the model clock, so on the realistic pace a purge acts on
// what the wire left during its own control transfer.
//
// Choices where the library leaves room:
// - FT_OpenEx finds the board by "Tambrelux Pro" as description, by its serial number or by
//   its location; one handle at a time: a second open while one is held, or any open of a
//   board another program holds, gives FT_DEVICE_NOT_OPENED. Handles are never 0 and are
//   not reused, so a closed handle stays invalid (FT_INVALID_HANDLE).
// - The device list holds the board while it is plugged in; listing is no call to the board,
//   so it is neither traced, paced nor counted by the fault plan. Nor is FT_GetDeviceInfo,
//   which tells what the board was when opened, after an unplug too, until the close.
// - Unplugged: FT_OpenEx gives FT_DEVICE_NOT_FOUND, every I/O call FT_IO_ERROR, and
//   FT_Close still gives FT_OK and frees the handle, as the library does for a device that
//   has gone.
// - FT_Write cut short by a fault passes its first bytes to the bridge, reports them in
//   BytesWritten and returns FT_IO_ERROR.
// - FT_Read returns when the count has arrived, or after the read timeout with whatever
//   did. With no read timeout set (0, wait for ever) a short read would hang the caller:
//   it returns at once with FT_OTHER_ERROR so the mistake shows.
// - FT_Purge empties the bridge's buffers only: FT_PURGE_RX the reply bytes waiting for the
//   host, FT_PURGE_TX the written bytes the wire has not yet carried. A frame the bootloader
//   has begun to take stays begun, and the next bytes written complete it.
// - FT_SetUSBParameters drops the reply bytes held in the receive buffer, as the library
//   does with what the driver holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/d2xx.h"
#include "sim/board_identity.h"
#include "sim/bootloader_model.h"
#include "sim/bridge.h"
#include "sim/fault_injector.h"
#include "sim/pacing.h"
#include "sim/trace.h"

namespace tlx::sim {

class SimulatedD2xx final : public D2xx {
 public:
  SimulatedD2xx(BootloaderModel& board, Bridge& bridge, const FaultPlan& plan, Trace& trace,
                Pacer& pacer, BoardIdentity identity);

  const BoardIdentity& Identity() const { return identity_; }
  // Whether the board is still plugged in; safe from any thread.
  bool Present() const { return !faults_.Unplugged(); }

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
  struct Admission {
    std::optional<FT_STATUS> refusal;  // the call ends at once with this status
    std::optional<Fault> fault;        // a fault that changes what the call does
  };

  // What a call on a handle meets before it does anything: a bad handle, the unplug, or a
  // failing status from the fault plan.
  Admission Admit(D2xxCall call, FT_HANDLE handle, const std::string& tag);
  FT_STATUS Finish(TraceEntry entry, FT_STATUS status, double costMs);
  // The command a write belongs to: the one whose bytes are still arriving, else the tag
  // the written bytes begin with.
  std::string CommandOfWrite(const std::uint8_t* buffer, DWORD count) const;
  std::size_t Deliver(std::uint8_t* buffer, DWORD count, const std::optional<Fault>& fault);
  double ReadCostMs(double waitedMs, std::size_t delivered) const;
  // The bridge as it is once a control transfer made now has reached it.
  void RunControlTransfer();

  BootloaderModel& board_;
  Bridge& bridge_;
  FaultInjector faults_;
  Trace& trace_;
  Pacer& pacer_;
  const BoardIdentity identity_;

  std::vector<FT_DEVICE_LIST_INFO_NODE> listed_;
  FT_HANDLE openHandle_ = 0;
  FT_HANDLE lastHandle_ = 0;
  DWORD readTimeoutMs_ = 0;
  double latencyMs_ = 0;
  std::string lastCommand_;  // tag of the last command frame the host wrote
};

}  // namespace tlx::sim
