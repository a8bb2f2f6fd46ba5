// What the user asked tlx-fwu to do, once the command line has been read and checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <variant>

namespace tlx::fwu {

struct PackPayloadRequest {
  std::filesystem::path payload;
  std::filesystem::path output;
  std::uint8_t versionByte = 0;
  std::uint8_t byte2 = 0;
  std::optional<std::uint32_t> length;  // the payload's size when not given
  bool force = false;
};

struct PackImageRequest {
  std::filesystem::path image;
  std::filesystem::path output;
  bool force = false;
};

struct UnpackRequest {
  std::filesystem::path container;
  std::filesystem::path output;
  bool payloadOnly = false;
  bool force = false;
};

struct InfoRequest {
  std::filesystem::path container;
};

struct HelpRequest {
  std::string_view text;
};

using Request =
    std::variant<PackPayloadRequest, PackImageRequest, UnpackRequest, InfoRequest, HelpRequest>;

}  // namespace tlx::fwu
