#include "commands.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "container_report.h"
#include "image/fwu_codec.h"
#include "messages.h"

namespace tlx::fwu {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kErasedFlash = 0xFF;

Bytes BuildImage(const HeaderFields& header, std::span<const std::uint8_t> payload) {
  Bytes image(kImageBytes, kErasedFlash);
  const std::uint32_t length = header.length.value_or(static_cast<std::uint32_t>(payload.size()));
  image[kSignatureOffset] = 'F';
  image[kSignatureOffset + 1] = 'W';
  image[kByte2Offset] = header.byte2;
  image[kVersionOffset] = header.versionByte;
  for (std::size_t i = 0; i < 4; ++i) {
    image[kLengthOffset + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  }
  std::ranges::copy(payload, image.begin() + kImageHeaderBytes);
  return image;
}

Bytes Encode(const Bytes& image) {
  Bytes container(kContainerSize);
  EncodeContainer(ImageView(image.data(), kImageBytes),
                  std::span<std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  ClockSeededUniform());
  return container;
}

// Decodes the file's first 262,176 bytes. A shorter file is decoded as if the rest were
// zeros, so that its header can still be shown; callers refuse or report the short size.
Bytes Decode(const Bytes& fileStart) {
  Bytes container(kContainerSize, 0);
  std::ranges::copy(fileStart.begin(),
                    fileStart.begin() + std::min(fileStart.size(), kContainerSize),
                    container.begin());
  Bytes image(kImageBytes);
  DecodeContainer(std::span<const std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  std::span<std::uint8_t, kImageBytes>(image.data(), kImageBytes));
  return image;
}

// A container the updater would refuse may be wanted (to test the refusal), so it is
// written, but never without saying so.
void WarnIfRefused(const std::filesystem::path& output, const Bytes& image) {
  const std::vector<std::string> reasons =
      RefusalReasons(ImageView(image.data(), kImageBytes), kContainerSize);
  if (reasons.empty()) {
    return;
  }
  std::cerr << "tlx-fwu: warning: the updater would refuse " << Quoted(output.string()) << ": ";
  for (std::size_t i = 0; i < reasons.size(); ++i) {
    std::cerr << (i == 0 ? "" : "; ") << reasons[i];
  }
  std::cerr << ".\n";
}

void WriteContainer(const Output& output, const Bytes& image) {
  WriteOutput(output, Encode(image));
  WarnIfRefused(output.path, image);
}

[[noreturn]] void WrongSize(std::string_view kind, const std::filesystem::path& path,
                            std::uintmax_t size, std::string_view rule) {
  throw ToolError(std::string(kind) + " " + Quoted(path.string()) + " has " + GroupedNumber(size) +
                  " bytes; " + std::string(rule) + ".");
}

}  // namespace

void PackPayload(const std::filesystem::path& payload, const HeaderFields& header,
                 const Output& output) {
  const InputFile input = ReadInput(payload, kFlashBytes);
  if (input.size > kFlashBytes) {
    WrongSize("payload", payload, input.size, "a payload holds at most 65,536");
  }
  WriteContainer(output, BuildImage(header, input.bytes));
}

void PackImage(const std::filesystem::path& image, const Output& output) {
  const InputFile input = ReadInput(image, kImageBytes);
  if (input.size != kImageBytes) {
    WrongSize("image", image, input.size, "an image has exactly 65,544");
  }
  WriteContainer(output, input.bytes);
}

void Unpack(const std::filesystem::path& container, bool payloadOnly, const Output& output) {
  const InputFile input = ReadInput(container, kContainerSize);
  if (input.size < kContainerSize) {
    WrongSize("container", container, input.size, "a container has 262,176");
  }
  const Bytes image = Decode(input.bytes);
  WriteOutput(output, payloadOnly ? std::span(image).subspan(kImageHeaderBytes) : std::span(image));
  if (input.size > kContainerSize) {
    std::cerr << "tlx-fwu: note: " << Quoted(container.string()) << " has "
              << GroupedNumber(input.size)
              << " bytes; only the first 262,176 were decoded, as the updater does.\n";
  }
}

bool Info(const std::filesystem::path& container) {
  const InputFile input = ReadInput(container, kContainerSize);
  const Bytes image = Decode(input.bytes);
  const ImageView view(image.data(), kImageBytes);
  const std::vector<std::string> refusals = RefusalReasons(view, input.size);
  WriteReport(std::cout, container, input.size, view, refusals);
  return refusals.empty();
}

}  // namespace tlx::fwu
