#include "link/device_list.h"

#include <algorithm>

namespace tlx {

FT_STATUS CopyDeviceList(const std::vector<FT_DEVICE_LIST_INFO_NODE>& listed,
                         FT_DEVICE_LIST_INFO_NODE* list, DWORD* numDevices) {
  if (numDevices == nullptr || (list == nullptr && *numDevices > 0)) return FT_INVALID_PARAMETER;
  const std::size_t count = std::min<std::size_t>(*numDevices, listed.size());
  std::copy_n(listed.begin(), count, list);
  *numDevices = static_cast<DWORD>(count);
  return FT_OK;
}

}  // namespace tlx
