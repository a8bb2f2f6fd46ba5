// What the updater would make of a container: its header fields and, when it would refuse
// the container, every reason why.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "image/firmware_image.h"

namespace tlx::fwu {

using ImageView = std::span<const std::uint8_t, kImageBytes>;

// Empty when the updater would accept the container: "FW", byte 4 = 0, version 1.2 or
// later, and at least 262,176 bytes in the file.
std::vector<std::string> RefusalReasons(ImageView image, std::uintmax_t containerSize);

// The size, the header fields and the verdict, one per line.
void WriteReport(std::ostream& out, const std::filesystem::path& container,
                 std::uintmax_t containerSize, ImageView image,
                 const std::vector<std::string>& refusals);

}  // namespace tlx::fwu
