// The four things tlx-fwu does. A failure they cannot get past is thrown as a ToolError;
// notes for the user go to stderr, info's report to stdout.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "file_io.h"

namespace tlx::fwu {

struct HeaderFields {
  std::uint8_t byte2 = 0;
  std::uint8_t versionByte = 0;         // major in the high nibble
  std::optional<std::uint32_t> length;  // the payload's size when not given
};

// Puts the header in front of a payload of at most 65,536 bytes, pads it with erased flash and
// encodes the image.
void PackPayload(const std::filesystem::path& payload, const HeaderFields& header,
                 const Output& output);

// Encodes a whole 65,544-byte image as it is.
void PackImage(const std::filesystem::path& image, const Output& output);

// Decodes the first 262,176 bytes of a container, as the updater does, into the image or only
// its payload.
void Unpack(const std::filesystem::path& container, bool payloadOnly, const Output& output);

// Reports the container's header; returns whether the updater would accept the container.
bool Info(const std::filesystem::path& container);

}  // namespace tlx::fwu
