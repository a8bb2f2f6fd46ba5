#include "link/device_list.h"

#include <algorithm>
#include <cstring>

namespace tlx {

FT_STATUS CopyDeviceList(const std::vector<FT_DEVICE_LIST_INFO_NODE>& listed,
                         FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  if (numDevices == nullptr || (list == nullptr && *numDevices > 0)) return FT_INVALID_PARAMETER;
  const std::size_t count = std::min<std::size_t>(*numDevices, listed.size());
  std::copy_n(listed.begin(), count, list);
  *numDevices = static_cast<DWORD>(count);
  return FT_OK;
}

FT_STATUS CopyDeviceInfo(const FT_DEVICE_LIST_INFO_NODE& node, DWORD* type, DWORD* id,
                         char* serialNumber, char* description) {
  if (type == nullptr || id == nullptr || serialNumber == nullptr || description == nullptr)
    return FT_INVALID_PARAMETER;
  *type = node.Type;
  *id = node.ID;
  std::memcpy(serialNumber, node.SerialNumber, sizeof node.SerialNumber);
  std::memcpy(description, node.Description, sizeof node.Description);
  return FT_OK;
}

}  // namespace tlx
