#include "sim/bootloader_model.h"

#include <algorithm>
#include <string_view>

namespace tlx::sim {
namespace {

struct CommandShape {
  std::string_view tag;
  std::size_t bytesAfterTag;
};

constexpr std::array<CommandShape, 4> kCommands{{
    {"SI", 0},
    {"EX", 2},
    {"RF", 5},
    {"WF", 3 + kWriteBlockBytes},
}};

const CommandShape* ShapeOf(int first, std::uint8_t second) {
  for (const CommandShape& shape : kCommands)
    if (first == shape.tag[0] && second == shape.tag[1]) return &shape;
  return nullptr;
}

bool CanStartTag(std::uint8_t byte) {
  return std::any_of(kCommands.begin(), kCommands.end(),
                     [byte](const CommandShape& shape) { return byte == shape.tag[0]; });
}

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t byte : bytes) value = (value << 8) | byte;
  return value;
}

}  // namespace

BootloaderModel::BootloaderModel(std::array<std::uint8_t, 2> statusTag, std::uint8_t hardwareByte,
                                 std::uint8_t firmwareByte)
    : statusTag_(statusTag), hardwareByte_(hardwareByte), firmwareByte_(firmwareByte) {
  flash_.fill(0xFF);
}

void BootloaderModel::Receive(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) Take(byte);
}

std::size_t BootloaderModel::TakeReply(std::span<std::uint8_t> destination) {
  const std::size_t count = std::min(destination.size(), reply_.size());
  std::copy_n(reply_.begin(), count, destination.begin());
  reply_.erase(reply_.begin(), reply_.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

std::string BootloaderModel::CommandInProgress() const {
  return tag_;
}

void BootloaderModel::Take(std::uint8_t byte) {
  if (tag_.empty()) {
    StartCommandIfTag(byte);
    return;
  }
  fields_.push_back(byte);
  if (fields_.size() == expected_) Execute();
}

// Between commands the board keeps only the last byte it saw, and only if it could begin a
// tag. Every byte that does not complete a tag with it is dropped, so after garbage (or a
// lost frame head) the board is back in step at the first tag that follows. Garbage that
// happens to contain a tag starts that command, as it would on the board.
void BootloaderModel::StartCommandIfTag(std::uint8_t byte) {
  const CommandShape* shape = ShapeOf(candidate_, byte);
  if (shape == nullptr) {
    candidate_ = CanStartTag(byte) ? byte : -1;
    return;
  }
  candidate_ = -1;
  tag_ = shape->tag;
  fields_.clear();
  expected_ = shape->bytesAfterTag;
  if (expected_ == 0) Execute();
}

void BootloaderModel::Execute() {
  const std::string tag = tag_;
  const std::span<const std::uint8_t> fields(fields_);
  if (tag == "SI") {
    ReplyStatus();
  } else if (tag == "EX") {
    SetProtection(static_cast<std::uint16_t>(BigEndian(fields)));
  } else if (tag == "RF") {
    ReplyFlash(BigEndian(fields.first(3)), BigEndian(fields.subspan(3, 2)));
  } else {
    Program(BigEndian(fields.first(3)));
  }
  tag_.clear();
  fields_.clear();
}

void BootloaderModel::ReplyStatus() {
  reply_.insert(reply_.end(), {statusTag_[0], statusTag_[1], hardwareByte_, firmwareByte_});
}

// Bytes beyond the end of flash read as 0xFF, like erased, unimplemented memory; the
// address does not wrap around to the start of flash.
void BootloaderModel::ReplyFlash(std::uint32_t address, std::uint32_t count) {
  const std::uint64_t first = 2ULL * address;
  for (std::uint64_t offset = first; offset < first + 4ULL * count; ++offset)
    reply_.push_back(offset < kFlashBytes ? flash_[offset] : std::uint8_t{0xFF});
}

void BootloaderModel::SetProtection(std::uint16_t value) {
  if (value == kUnlockValue) unlocked_ = true;
  if (value == kLockValue) unlocked_ = false;
}

// Programming overwrites each byte with the data byte (the board erases as it programs).
// Bytes in the protected range while it is locked, and bytes beyond the end of flash, keep
// their value; the board still takes all 2,048 data bytes.
void BootloaderModel::Program(std::uint32_t address) {
  std::vector<std::uint8_t> data(fields_.begin() + 3, fields_.end());
  const std::uint64_t first = 2ULL * address;
  if (programFilter_ && first < kFlashBytes)
    programFilter_(static_cast<std::uint32_t>(first), data);
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint64_t offset = first + i;
    if (offset >= kFlashBytes) break;
    const bool locked = !unlocked_ && offset >= kProtectedFirstByte && offset < kProtectedEndByte;
    if (!locked) flash_[offset] = data[i];
  }
  ++blocksProgrammed_;
}

}  // namespace tlx::sim
