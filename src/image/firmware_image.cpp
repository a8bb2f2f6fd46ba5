// The header rule the updater applies to every decoded image before it will flash it.
#include "image/firmware_image.h"

namespace tlx {

bool HeaderAccepted(std::span<const std::uint8_t, kImageSize> image) {
  return image[kSignatureOffset] == 'F' && image[kSignatureOffset + 1] == 'W' &&
         image[kLengthOffset] == 0;
}

}  // namespace tlx
