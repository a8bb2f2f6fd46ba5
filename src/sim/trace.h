// Every D2XX call made to the simulated board, in order, with its arguments, status and bytes,
// and every block the bootloader programmed, with the call during which it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/d2xx.h"
#include "sim/fault_plan.h"

namespace tlx::sim {

struct TraceEntry {
  D2xxCall call = D2xxCall::OpenEx;
  FT_STATUS status = FT_OK;
  std::string description{};  // FT_OpenEx
  DWORD flags = 0;            // FT_OpenEx
  DWORD readTimeout = 0;      // FT_SetTimeouts
  DWORD writeTimeout = 0;
  DWORD latencyMs = 0;  // FT_SetLatencyTimer
  DWORD inSize = 0;     // FT_SetUSBParameters
  DWORD outSize = 0;
  DWORD requested = 0;               // FT_Read
  DWORD written = 0;                 // FT_Write: the count reported back
  DWORD mask = 0;                    // FT_Purge
  std::vector<std::uint8_t> data{};  // FT_Write: bytes handed over; FT_Read: bytes delivered
};

struct ProgrammedBlock {
  std::uint32_t flashAddress = 0;
  std::size_t duringCall = 0;  // index into the trace's entries
};

class Trace {
 public:
  void Record(TraceEntry entry);
  // A block programmed during the call in progress, which is recorded when it ends.
  void RecordProgramming(std::uint32_t flashAddress);
  const std::vector<TraceEntry>& Entries() const { return entries_; }
  const std::vector<ProgrammedBlock>& Programmed() const { return programmed_; }
  // The entries of one kind of call, in order.
  std::vector<TraceEntry> Of(D2xxCall call) const;
  // One JSON object per line: call, status and the call's own keys.
  std::string JsonLines() const;

 private:
  std::vector<TraceEntry> entries_;
  std::vector<ProgrammedBlock> programmed_;
};

const char* CallName(D2xxCall call);

}  // namespace tlx::sim
