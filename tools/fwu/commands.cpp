#include "commands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "container_report.h"
#include "file_io.h"
#include "image/fwu_codec.h"
#include "image_builder.h"
#include "text_format.h"
#include "tool_error.h"

namespace tlx::fwu {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const Bytes& image) {
  Bytes container(kContainerSize);
  EncodeContainer(ImageView(image.data(), kImageSize),
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
  Bytes image(kImageSize);
  DecodeContainer(std::span<const std::uint8_t, kContainerSize>(container.data(), kContainerSize),
                  std::span<std::uint8_t, kImageSize>(image.data(), kImageSize));
  return image;
}

// A container the updater would refuse may be wanted (to test the refusal), so it is
// written, but never without saying so.
void WarnIfRefused(std::ostream& err, const std::filesystem::path& output, const Bytes& image) {
  const std::vector<std::string> reasons =
      RefusalReasons(ImageView(image.data(), kImageSize), kContainerSize);
  if (reasons.empty()) {
    return;
  }
  std::string joined;
  for (const std::string& reason : reasons) {
    joined += (joined.empty() ? "" : "; ") + reason;
  }
  err << "tlx-fwu: warning: the updater would refuse " << Quoted(output.string()) << ": " << joined
      << ".\n";
}

void WriteContainer(const std::filesystem::path& output, const Bytes& image, std::ostream& err) {
  WriteAtomically(output, Encode(image));
  WarnIfRefused(err, output, image);
}

[[noreturn]] void WrongSize(std::string_view kind, const std::filesystem::path& path,
                            std::uintmax_t size, std::string_view rule) {
  throw ToolError(std::string(kind) + " " + Quoted(path.string()) + " has " + GroupedNumber(size) +
                  " bytes; " + std::string(rule) + ".");
}

}  // namespace

int RunPackPayload(const PackPayloadRequest& request, std::ostream& err) {
  const InputFile payload = ReadInput(request.payload, kPayloadSize);
  if (payload.size > kPayloadSize) {
    WrongSize("payload", request.payload, payload.size, "a payload holds at most 65,536");
  }
  RefuseExistingOutput(request.output, request.force);
  const HeaderFields header{request.byte2, request.versionByte,
                            request.length.value_or(static_cast<std::uint32_t>(payload.size))};
  WriteContainer(request.output, BuildImage(header, payload.bytes), err);
  return kExitSuccess;
}

int RunPackImage(const PackImageRequest& request, std::ostream& err) {
  const InputFile image = ReadInput(request.image, kImageSize);
  if (image.size != kImageSize) {
    WrongSize("image", request.image, image.size, "an image has exactly 65,544");
  }
  RefuseExistingOutput(request.output, request.force);
  WriteContainer(request.output, image.bytes, err);
  return kExitSuccess;
}

int RunUnpack(const UnpackRequest& request, std::ostream& err) {
  const InputFile container = ReadInput(request.container, kContainerSize);
  if (container.size < kContainerSize) {
    WrongSize("container", request.container, container.size, "a container has 262,176");
  }
  RefuseExistingOutput(request.output, request.force);
  const Bytes image = Decode(container.bytes);
  const std::span<const std::uint8_t> wanted =
      request.payloadOnly ? std::span(image).subspan(kImageHeaderSize) : std::span(image);
  WriteAtomically(request.output, wanted);
  if (container.size > kContainerSize) {
    err << "tlx-fwu: note: " << Quoted(request.container.string()) << " has "
        << GroupedNumber(container.size)
        << " bytes; only the first 262,176 were decoded, as the updater does.\n";
  }
  return kExitSuccess;
}

int RunInfo(const InfoRequest& request, std::ostream& out) {
  const InputFile container = ReadInput(request.container, kContainerSize);
  const Bytes image = Decode(container.bytes);
  const ImageView view(image.data(), kImageSize);
  const std::vector<std::string> refusals = RefusalReasons(view, container.size);
  WriteReport(out, request.container, container.size, view, refusals);
  return refusals.empty() ? kExitSuccess : kExitRefused;
}

}  // namespace tlx::fwu
