// The header rule the updater applies to every decoded image before it will flash it.
#include "image/firmware_image.h"

namespace tlx {
namespace {

// Bytes 0 and 1 are exactly "FW" (case-sensitive).
bool SignatureMatches(std::span<const std::uint8_t, kImageBytes> image) {
  return image[kSignatureOffset] == 'F' && image[kSignatureOffset + 1] == 'W';
}

// The updater refuses images older than 1.2, whatever the board runs now.
bool VersionTooOld(VersionPair version) {
  return version.Major == 0 || (version.Major == 1 && version.Minor < 2);
}

}  // namespace

VersionPair ImageVersion(std::span<const std::uint8_t, kImageBytes> image) {
  return VersionPair::FromByte(image[kVersionOffset]);
}

std::vector<Refusal> Refusals(std::span<const std::uint8_t, kImageBytes> image,
                              std::uintmax_t containerBytes) {
  std::vector<Refusal> refusals;
  if (containerBytes < kContainerSize) refusals.push_back(Refusal::ShortContainer);
  if (!SignatureMatches(image)) refusals.push_back(Refusal::Signature);
  if (image[kLengthOffset] != 0) refusals.push_back(Refusal::LengthByte);
  if (VersionTooOld(ImageVersion(image))) refusals.push_back(Refusal::TooOld);
  return refusals;
}

}  // namespace tlx
