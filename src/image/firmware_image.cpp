// The header rule the updater applies to every decoded image before it will flash it.
#include "image/firmware_image.h"

namespace tlx {

bool SignatureMatches(std::span<const std::uint8_t, kImageSize> image) {
  return image[kSignatureOffset] == 'F' && image[kSignatureOffset + 1] == 'W';
}

bool HeaderAccepted(std::span<const std::uint8_t, kImageSize> image) {
  return SignatureMatches(image) && image[kLengthOffset] == 0;
}

VersionPair ImageVersion(std::span<const std::uint8_t, kImageSize> image) {
  return VersionPair::FromByte(image[kVersionOffset]);
}

bool VersionTooOld(VersionPair version) {
  return version.Major == 0 || (version.Major == 1 && version.Minor < 2);
}

}  // namespace tlx
