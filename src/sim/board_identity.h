// Who a simulated board is on the bus, as the device list and FT_OpenEx see it: its serial
// number, where it is plugged in, and whether another program holds it. Board k (from 1)
// sits on the root hub's port k; a root hub has 15 ports in a location id, so boards 16 to 30
// are on bus 2 and 31 and 32 on bus 3.
#pragma once

#include <string>
#include <string_view>

#include "link/d2xx.h"

namespace tlx::sim {

inline constexpr DWORD kBridgeUsbId = 0x04036001;  // FTDI's vendor id, an FT232R bridge
inline constexpr int kMaxBoards = 32;
// What fits in FT_DEVICE_LIST_INFO_NODE::SerialNumber with its terminating NUL.
inline constexpr std::size_t kMaxSerialLength = 15;

struct BoardIdentity {
  std::string serial;  // empty: the board has none
  DWORD locId = 0;
  bool busy = false;  // open in another program: listed as opened, never opened here
};

// Serial numbers as bridges carry them: printable ASCII without blanks, up to
// kMaxSerialLength characters; empty for none.
bool IsSerial(std::string_view text);

// "SIM0001" for position 1.
std::string SerialAt(int position);
DWORD LocationAt(int position);

// Whether FT_OpenEx(arg1, flags) names this board; a board without a serial is never named
// by one.
bool Answers(const BoardIdentity& identity, const char* arg1, DWORD flags);
// What the trace records of FT_OpenEx's arg1: the text, or the port path of a location.
std::string OpenArgumentText(const char* arg1, DWORD flags);
// The board's entry in the device list; openHere is this program's handle on it, or 0.
FT_DEVICE_LIST_INFO_NODE ListNode(const BoardIdentity& identity, FT_HANDLE openHere);

}  // namespace tlx::sim
