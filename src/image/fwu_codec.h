// The .fwu container: each image byte hidden among three filler bytes and combined with a
// running key. Pure transformations over fixed-size buffers; no file, window or device.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "image/firmware_image.h"

namespace tlx {

// Uniform values u with 0 <= u < 1, from which the encoder draws its filler bytes.
using UniformSource = std::function<double()>;

// Overwrites all of the image with the decoded container. Accepts any filler bytes.
void DecodeContainer(std::span<const std::uint8_t, kContainerSize> container,
                     std::span<std::uint8_t, kImageBytes> image);

// Overwrites all of the container with an encoding of the image; fillers lie in 1 to 255.
void EncodeContainer(std::span<const std::uint8_t, kImageBytes> image,
                     std::span<std::uint8_t, kContainerSize> container,
                     const UniformSource& uniform);

// A generator seeded once from the clock, as the program's own encodings use.
UniformSource ClockSeededUniform();

}  // namespace tlx
