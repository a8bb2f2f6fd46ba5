#include "sim/board_identity.h"

#include <cstdio>
#include <cstring>

#include "link/device_list.h"
#include "link/device_location.h"
#include "link/tlx_module.h"

namespace tlx::sim {

bool IsSerial(std::string_view text) {
  if (text.size() > kMaxSerialLength) return false;
  for (const char c : text)
    if (c <= ' ' || c > '~') return false;
  return true;
}

std::string SerialAt(int position) {
  char serial[16];
  std::snprintf(serial, sizeof serial, "SIM%04d", position);
  return serial;
}

DWORD LocationAt(int position) {
  const auto bus = static_cast<std::uint8_t>(1 + (position - 1) / kMaxLocationPort);
  const auto port = static_cast<std::uint8_t>(1 + (position - 1) % kMaxLocationPort);
  return LocationOf(bus, {port}).value_or(0);
}

bool Answers(const BoardIdentity& identity, const char* arg1, DWORD flags) {
  if (flags == FT_OPEN_BY_LOCATION) return LocationOfArgument(arg1) == identity.locId;
  if (arg1 == nullptr) return false;
  if (flags == FT_OPEN_BY_DESCRIPTION) return std::strcmp(arg1, kDeviceDescription) == 0;
  if (flags == FT_OPEN_BY_SERIAL_NUMBER) return !identity.serial.empty() && identity.serial == arg1;
  return false;
}

std::string OpenArgumentText(const char* arg1, DWORD flags) {
  if (flags == FT_OPEN_BY_LOCATION) return PortPath(LocationOfArgument(arg1));
  return arg1 != nullptr ? arg1 : "";
}

FT_DEVICE_LIST_INFO_NODE ListNode(const BoardIdentity& identity, FT_HANDLE openHere) {
  FT_DEVICE_LIST_INFO_NODE node;
  node.Flags = identity.busy || openHere != 0 ? FT_FLAGS_OPENED : 0;
  node.ID = kBridgeUsbId;
  node.LocId = identity.locId;
  SetNodeText(node.SerialNumber, identity.serial);
  SetNodeText(node.Description, kDeviceDescription);
  node.ftHandle = openHere;
  return node;
}

}  // namespace tlx::sim
