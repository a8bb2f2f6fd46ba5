// Where a device is plugged in, as its location id carries it and as people write it: the bus
// in the top byte, then the port of each hub tier from the root, one 4-bit nibble each, ending
// at the first zero nibble. "1-4.2" (bus 1, root port 4, hub port 2) is 0x01420000. Up to six
// tiers with ports 1 to 15 fit; USB allows seven tiers, which no board rack reaches.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/d2xx.h"

namespace tlx {

inline constexpr std::size_t kMaxLocationTiers = 6;
// A port's nibble holds ports 1 to 15: a location id can say no more ports of one hub.
inline constexpr std::uint8_t kMaxLocationPort = 15;

// Nothing when a port is 0 or above 15, or there are no ports or too many.
std::optional<DWORD> LocationOf(std::uint8_t bus, const std::vector<std::uint8_t>& ports);
// "1-4.2", as the kernel names the device too; ports from the root hub on.
std::string PortPath(std::uint8_t bus, std::span<const std::uint8_t> ports);
// The port path the location id says.
std::string PortPath(DWORD locId);
// The location id a port path names; nothing for text that is not one.
std::optional<DWORD> ParsePortPath(std::string_view text);

}  // namespace tlx
