#include "container_report.h"

#include <algorithm>

#include "messages.h"

namespace tlx::fwu {
namespace {

// 0x07 as "0x07".
std::string HexByte(std::uint8_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  return {'0', 'x', kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::string VersionText(VersionPair version) {
  return std::to_string(version.Major) + "." + std::to_string(version.Minor);
}

std::string HexDigits(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    text += text.empty() ? "" : " ";
    text += HexByte(byte).substr(2);
  }
  return text;
}

char Printable(std::uint8_t byte) {
  return byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
}

std::string SignatureText(ImageView image) {
  const auto signature = image.subspan<kSignatureOffset, 2>();
  return std::string{'"', Printable(signature[0]), Printable(signature[1]), '"'} + " (" +
         HexDigits(signature) + ")";
}

std::uint32_t LengthField(ImageView image) {
  std::uint32_t length = 0;
  for (const std::uint8_t byte : image.subspan<kLengthOffset, 4>()) {
    length = length << 8 | byte;
  }
  return length;
}

// One reason in the report's words.
std::string ReasonText(Refusal refusal, ImageView image, std::uintmax_t containerSize) {
  switch (refusal) {
    case Refusal::Signature:
      return "the signature is " + SignatureText(image) + ", not \"FW\"";
    case Refusal::LengthByte:
      return "header byte 4 is " + HexByte(image[kLengthOffset]) + ", not 0";
    case Refusal::TooOld:
      return "version " + VersionText(ImageVersion(image)) + " is below 1.2";
    case Refusal::ShortContainer:
      break;
  }
  return "the container has " + GroupedNumber(containerSize) +
         " bytes, fewer than the 262,176 of a whole container";
}

}  // namespace

// The updater's own verdict, worded; the report names the container's size after the header.
std::vector<std::string> RefusalReasons(ImageView image, std::uintmax_t containerSize) {
  std::vector<Refusal> refusals = Refusals(image, containerSize);
  std::ranges::stable_partition(refusals,
                                [](Refusal refusal) { return refusal != Refusal::ShortContainer; });
  std::vector<std::string> reasons;
  for (const Refusal refusal : refusals) {
    reasons.push_back(ReasonText(refusal, image, containerSize));
  }
  return reasons;
}

void WriteReport(std::ostream& out, const std::filesystem::path& container,
                 std::uintmax_t containerSize, ImageView image,
                 const std::vector<std::string>& refusals) {
  out << "container:  " << container.string() << ", " << GroupedNumber(containerSize) << " bytes";
  if (containerSize > kContainerSize) {
    out << " (the updater reads the first 262,176)";
  }
  out << "\nsignature:  " << SignatureText(image) << "\n";
  out << "byte 2:     " << HexByte(image[kByte2Offset]) << "\n";
  out << "version:    " << VersionText(ImageVersion(image)) << " ("
      << HexByte(image[kVersionOffset]) << ")\n";
  out << "length:     " << GroupedNumber(LengthField(image)) << " ("
      << HexDigits(image.subspan<kLengthOffset, 4>()) << ")\n";
  out << "updater:    "
      << (refusals.empty() ? "would accept this container" : "would refuse this container:")
      << "\n";
  for (const std::string& reason : refusals) {
    out << "            - " << reason << "\n";
  }
}

}  // namespace tlx::fwu
