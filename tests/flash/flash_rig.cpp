#include "flash_rig.h"

#include "hex_bytes.h"

#include <algorithm>
#include <random>

namespace tlx::test {
namespace {

// A command frame as one short line; an empty line for anything else written.
std::string FrameLine(const std::vector<std::uint8_t>& data) {
  const std::string tag(data.begin(), data.begin() + std::min<std::size_t>(2, data.size()));
  if (tag == "SI" && data.size() == 2) return tag;
  if (tag == "EX" && data.size() == 4) return tag + " " + std::to_string(BigEndian(data, 2, 2));
  if ((tag == "WF" && data.size() == 5) || (tag == "RF" && data.size() == 7))
    return tag + " " + std::to_string(BigEndian(data, 2, 3));
  return "";
}

}  // namespace

FlashRig::FlashRig(std::uint8_t firmwareByte, const FaultSetup& faults)
    : board(sim::BoardConfig{.hardwareByte = 0x21, .firmwareByte = firmwareByte}),
      link(board.Port(), image),
      engine(link, window, window, image, imageCopy, failureFlag) {
  std::mt19937 random(20240611);
  std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(random()); });
  original = image;
  if (faults) faults(board.Faults());
  link.OpenDevice();
  link.QueryStatus();
  flashBefore.assign(board.Flash().begin(), board.Flash().end());
  traceStart_ = board.CallTrace().Entries().size();
}

std::vector<std::string> FlashRig::Wire() const {
  std::vector<std::string> wire;
  const auto& entries = board.CallTrace().Entries();
  for (std::size_t i = traceStart_; i < entries.size(); ++i) {
    if (entries[i].call == sim::D2xxCall::Purge) wire.push_back("purge");
    if (entries[i].call != sim::D2xxCall::Write) continue;
    if (std::string line = FrameLine(entries[i].data); !line.empty()) wire.push_back(line);
  }
  return wire;
}

int FlashRig::Sent(const std::string& tag) const {
  const std::vector<std::string> wire = Wire();
  return static_cast<int>(std::count_if(
      wire.begin(), wire.end(), [&](const std::string& line) { return line.starts_with(tag); }));
}

bool FlashRig::FlashHoldsImage(ByteRange range) const {
  const auto flash = board.Flash();
  return std::equal(flash.begin() + range.first, flash.begin() + range.end,
                    original.begin() + kHeaderBytes + range.first);
}

bool FlashRig::FlashAsBefore(ByteRange range) const {
  const auto flash = board.Flash();
  return std::equal(flash.begin() + range.first, flash.begin() + range.end,
                    flashBefore.begin() + range.first);
}

}  // namespace tlx::test
