#include "link/device_location.h"

#include "common/number_text.h"

namespace tlx {

std::optional<DWORD> LocationOf(std::uint8_t bus, const std::vector<std::uint8_t>& ports) {
  if (ports.empty() || ports.size() > kMaxLocationTiers) return {};
  DWORD locId = DWORD{bus} << 24;
  int shift = 20;
  for (const std::uint8_t port : ports) {
    if (port == 0 || port > kMaxLocationPort) return {};
    locId |= DWORD{port} << shift;
    shift -= 4;
  }
  return locId;
}

std::string PortPath(std::uint8_t bus, std::span<const std::uint8_t> ports) {
  std::string path = std::to_string(bus) + "-";
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (i > 0) path += '.';
    path += std::to_string(ports[i]);
  }
  return path;
}

std::string PortPath(DWORD locId) {
  std::vector<std::uint8_t> ports;
  for (int shift = 20; shift >= 0 && ((locId >> shift) & 0xF) != 0; shift -= 4)
    ports.push_back(static_cast<std::uint8_t>((locId >> shift) & 0xF));
  return PortPath(static_cast<std::uint8_t>(locId >> 24), ports);
}

std::optional<DWORD> ParsePortPath(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return {};
  const std::optional<std::uint64_t> bus = ParseWholeNumber(text.substr(0, dash));
  if (!bus || *bus > 255) return {};
  std::vector<std::uint8_t> ports;
  std::string_view rest = text.substr(dash + 1);
  while (true) {
    const std::size_t dot = rest.find('.');
    const std::optional<std::uint64_t> port = ParseWholeNumber(rest.substr(0, dot));
    if (!port || *port > kMaxLocationPort) return {};
    ports.push_back(static_cast<std::uint8_t>(*port));
    if (dot == std::string_view::npos) break;
    rest = rest.substr(dot + 1);
  }
  return LocationOf(static_cast<std::uint8_t>(*bus), ports);
}

}  // namespace tlx
