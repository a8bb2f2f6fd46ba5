#include "image_builder.h"

#include <algorithm>
#include <stdexcept>

#include "image/firmware_image.h"

namespace tlx::fwu {

std::vector<std::uint8_t> BuildImage(const HeaderFields& header,
                                     std::span<const std::uint8_t> payload) {
  if (payload.size() > kPayloadSize) {
    throw std::length_error("a payload holds at most 65,536 bytes");
  }
  std::vector<std::uint8_t> image(kImageSize, kErasedFlash);
  image[kSignatureOffset] = 'F';
  image[kSignatureOffset + 1] = 'W';
  image[kByte2Offset] = header.byte2;
  image[kVersionOffset] = header.versionByte;
  for (std::size_t i = 0; i < 4; ++i) {
    image[kLengthOffset + i] = static_cast<std::uint8_t>(header.length >> (24 - 8 * i));
  }
  std::ranges::copy(payload, image.begin() + kImageHeaderSize);
  return image;
}

}  // namespace tlx::fwu
