// Replies of any bytes and statuses, through the link's status query, its block read, its
// reply read and the read-back loop of the update engine. The link must make of each read
// what a separate model of its read loop says, put the bytes only where they belong, decode
// versions only from a whole "KV" reply, and never call a region equal that is not.
//
// Input: one operation byte at a time, each followed by its parameters; the reads take
// their status, count and bytes from the rest (see scripted_d2xx.h).
#include <algorithm>
#include <array>
#include <vector>

#include "flash/update_engine.h"
#include "fuzz_support.h"
#include "image/firmware_image.h"
#include "link/tlx_module.h"
#include "recording_update_window.h"
#include "scripted_d2xx.h"

namespace tlx::fuzz {
namespace {

constexpr int kOperationsPerInput = 8;

struct LoopModel {
  std::int32_t linkStatus = 0;
  bool noData = false;
  bool readError = false;
  std::int32_t total = 0;
  std::vector<std::uint8_t> bytes;
};

// The read loop as the connection's rules state it, over the reads the link made.
LoopModel ModelReadLoop(const std::vector<ReadRecord>& reads, std::size_t first,
                        std::int32_t length) {
  LoopModel model;
  for (std::size_t i = first; i < reads.size(); ++i) {
    const ReadRecord& read = reads[i];
    Require(
        i + 1 == reads.size() || model.total + static_cast<std::int32_t>(read.reported) < length,
        "the loop reads no further once it is done");
    Require(read.asked == static_cast<DWORD>(length - model.total),
            "each read asks for the bytes still missing");
    if ((read.status != FT_OK && read.status != FT_IO_ERROR) || read.reported > read.asked) {
      model.linkStatus = kReadLoopFailed;
      model.readError = true;
      return model;
    }
    if (read.reported == 0) {
      model.linkStatus = kReadLoopFailed;
      model.noData = true;
      return model;
    }
    model.total += static_cast<std::int32_t>(read.reported);
    model.bytes.insert(model.bytes.end(), read.delivered.begin(), read.delivered.end());
    model.linkStatus = static_cast<std::int32_t>(read.status);
    if (model.total == length) return model;
  }
  Require(false, "the loop stops only when done, on no data or on a failing read");
  return model;
}

LoopModel CheckReadLoop(const TLXModule& link, const ScriptedD2xx& port, std::size_t firstRead,
                        const std::uint8_t* destination, std::int32_t length) {
  const LoopModel model = ModelReadLoop(port.reads, firstRead, length);
  Require(link.LinkStatus == model.linkStatus, "LinkStatus as the loop's rules give it");
  Require(link.NoDataFlag == (model.noData ? kTrue : kFalse), "NoDataFlag");
  Require(link.ReadErrorFlag == (model.readError ? kTrue : kFalse), "ReadErrorFlag");
  Require(link.ReceivedTotal == model.total, "ReceivedTotal counts the accepted bytes");
  Require(std::equal(model.bytes.begin(), model.bytes.end(), destination),
          "accepted bytes lie in order from the start of the destination");
  return model;
}

bool Outside(const std::vector<std::uint8_t>& now, const std::vector<std::uint8_t>& before,
             std::int64_t first, std::int64_t end) {
  for (std::int64_t i = 0; i < static_cast<std::int64_t>(now.size()); ++i)
    if ((i < first || i >= end) &&
        now[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)])
      return false;
  return true;
}

void QueryStatus(TLXModule& link, ScriptedD2xx& port) {
  const VersionPair hardwareBefore = link.HardwareVersion;
  const VersionPair firmwareBefore = link.FirmwareVersion;
  const std::size_t firstRead = port.reads.size();
  link.QueryStatus();
  Require(port.lastWrite == std::vector<std::uint8_t>{'S', 'I'}, "\"SI\" is two bytes");
  if (port.lastWriteStatus != FT_OK) {
    Require(port.reads.size() == firstRead, "a failed frame reads nothing");
    Require(link.HardwareVersion == hardwareBefore && link.FirmwareVersion == firmwareBefore,
            "a failed frame changes no version");
    return;
  }
  const LoopModel model = CheckReadLoop(link, port, firstRead, link.ReplyBuffer.data(), 4);
  const bool bootloader = model.linkStatus == 0 && model.bytes[0] == 'K' && model.bytes[1] == 'V';
  Require(
      link.HardwareVersion == (bootloader ? VersionPair::FromByte(model.bytes[2]) : VersionPair{}),
      "hardware version only from a whole \"KV\" reply, else 0.0");
  Require(
      link.FirmwareVersion == (bootloader ? VersionPair::FromByte(model.bytes[3]) : firmwareBefore),
      "firmware version only from a whole \"KV\" reply, else kept");
}

void ReadFlashBlock(TLXModule& link, ScriptedD2xx& port, FuzzInput& input,
                    std::vector<std::uint8_t>& image) {
  const std::uint32_t address = input.Number(3);
  const std::uint32_t count = input.Number(2) % 1100;
  link.FlashAddress = static_cast<std::int32_t>(address);
  link.BlockCount = static_cast<std::int32_t>(count);
  link.ImageOffset = static_cast<std::int32_t>(input.Number(3) % (kImageBytes + 4096)) - 2048;
  const std::vector<std::uint8_t> before = image;
  const std::size_t firstRead = port.reads.size();
  link.ReadFlashBlock();

  const std::vector<std::uint8_t> frame{'R',
                                        'F',
                                        static_cast<std::uint8_t>(address >> 16),
                                        static_cast<std::uint8_t>(address >> 8),
                                        static_cast<std::uint8_t>(address),
                                        static_cast<std::uint8_t>(count >> 8),
                                        static_cast<std::uint8_t>(count)};
  Require(port.lastWrite == frame, "\"RF\" carries address and count big-endian");
  const std::int64_t first = link.ImageOffset;
  const std::int64_t end = first + 4 * std::int64_t{count};
  const bool fits = first >= 0 && end <= static_cast<std::int64_t>(image.size());
  if (port.lastWriteStatus != FT_OK || !fits) {
    Require(port.reads.size() == firstRead, "nothing is read after a failed or misplaced frame");
    Require(image == before, "the image is untouched");
    Require(link.LinkStatus != 0, "and the command failed");
    return;
  }
  CheckReadLoop(link, port, firstRead, image.data() + first, static_cast<std::int32_t>(4 * count));
  Require(Outside(image, before, first, end), "a block lands only in its own place");
}

void ReceiveReply(TLXModule& link, ScriptedD2xx& port, FuzzInput& input) {
  const std::int32_t length = static_cast<std::int32_t>(input.Number(2) % 4200) - 8;
  link.ReadLength = length;
  const std::size_t firstRead = port.reads.size();
  link.ReceiveReply();
  const bool valid = length >= 0 && length <= static_cast<std::int32_t>(kLinkBufferSize);
  if (!valid) {
    Require(port.reads.size() == firstRead && link.LinkStatus != 0, "a bad length reads nothing");
    return;
  }
  CheckReadLoop(link, port, firstRead, link.ReplyBuffer.data(), length);
  Require(std::all_of(link.ReplyBuffer.begin() + length, link.ReplyBuffer.end(),
                      [](std::uint8_t byte) { return byte == ' '; }),
          "the reply buffer beyond the reply holds spaces");
}

void VerifyRegion(UpdateEngine& engine, TLXModule& link, FuzzInput& input,
                  std::vector<std::uint8_t>& image, std::vector<std::uint8_t>& copy,
                  const std::int16_t& failureFlag) {
  engine.RegionStart = 1024 * (input.Byte() % 32);
  engine.VerifyLength = 512 * (1 + input.Byte() % 3);
  link.ImageOffset = 8 + 2 * engine.RegionStart;
  link.BlockCount = 512;
  const std::int64_t first = link.ImageOffset;
  const std::int64_t end = std::min<std::int64_t>(first + 4 * engine.VerifyLength, kImageBytes);
  copy = image;
  std::fill(copy.begin() + first, copy.begin() + end, input.Byte());
  const std::vector<std::uint8_t> before = image;
  engine.VerifyFlash();

  Require(failureFlag == 0 || failureFlag == -1 || failureFlag == -2, "FailureFlag is 0, -1 or -2");
  Require(failureFlag != 0 ||
              std::equal(image.begin() + first, image.begin() + end, copy.begin() + first),
          "a region read back as equal is equal");
  Require(Outside(image, before, first, end), "the read-back stays inside its region");
}

}  // namespace
}  // namespace tlx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tlx;
  fuzz::FuzzInput input(data, size);
  fuzz::ScriptedD2xx port(input);
  std::vector<std::uint8_t> image(kImageBytes);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 5);
  std::vector<std::uint8_t> copy(kImageBytes);
  std::int16_t failureFlag = 0;
  test::RecordingUpdateWindow window;
  TLXModule link(port, image);
  UpdateEngine engine(link, window, window, image, copy, failureFlag);
  link.OpenDevice();

  for (int i = 0; i < fuzz::kOperationsPerInput && !input.Empty(); ++i) {
    switch (input.Byte() % 4) {
      case 0:
        fuzz::QueryStatus(link, port);
        break;
      case 1:
        fuzz::ReadFlashBlock(link, port, input, image);
        break;
      case 2:
        fuzz::ReceiveReply(link, port, input);
        break;
      default:
        fuzz::VerifyRegion(engine, link, input, image, copy, failureFlag);
        break;
    }
  }
  return 0;
}
