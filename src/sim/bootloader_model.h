// The board's bootloader as a byte-stream device: it takes the bytes the bridge passes on as
// they come, acts on each command once all of its bytes are in, and queues reply bytes for the
// bridge. Nothing the host does reaches its parser or its queued reply: a purge empties only
// the bridge, so a frame begun stays begun until enough bytes complete it.
//
// Commands: "SI" -> "KV" (or the configured tag), hardware byte, firmware byte. "RF" address(3)
// count(2) -> count x 4 flash bytes from byte 2 x address. "WF" address(3), then 2,048 data bytes
// programmed at byte 2 x address. "EX" value(2): 1,998 unlocks the write-protected
// addresses, 1,068 locks them again; other values do nothing. No reply to "WF" or "EX".
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/image_layout.h"

namespace tlx::sim {

inline constexpr std::size_t kWriteBlockBytes = 2048;
// Flash addresses 1,024 to 2,047, as byte offsets.
inline constexpr std::uint32_t kProtectedFirstByte = 2048;
inline constexpr std::uint32_t kProtectedEndByte = 4096;
inline constexpr std::uint16_t kUnlockValue = 1998;
inline constexpr std::uint16_t kLockValue = 1068;

class BootloaderModel {
 public:
  // Sees a block's data (and may change it) before it is programmed at firstByte: where flash
  // defects enter and where programmed blocks are recorded.
  using ProgramFilter = std::function<void(std::uint32_t firstByte, std::span<std::uint8_t>)>;

  BootloaderModel(std::array<std::uint8_t, 2> statusTag, std::uint8_t hardwareByte,
                  std::uint8_t firmwareByte);

  void Receive(std::span<const std::uint8_t> bytes);
  // Moves up to destination.size() reply bytes out; returns how many.
  std::size_t TakeReply(std::span<std::uint8_t> destination);
  std::size_t PendingReplyBytes() const { return reply_.size(); }
  // The tag of the command whose bytes are still arriving, or empty between commands.
  std::string CommandInProgress() const;

  std::array<std::uint8_t, kFlashBytes>& Flash() { return flash_; }
  const std::array<std::uint8_t, kFlashBytes>& Flash() const { return flash_; }
  bool ProtectedRangeUnlocked() const { return unlocked_; }
  // Programmed blocks so far (each "WF" whose data arrived in full).
  int BlocksProgrammed() const { return blocksProgrammed_; }
  void SetProgramFilter(ProgramFilter filter) { programFilter_ = std::move(filter); }

 private:
  void Take(std::uint8_t byte);
  void StartCommandIfTag(std::uint8_t byte);
  void Execute();
  void ReplyStatus();
  void ReplyFlash(std::uint32_t address, std::uint32_t count);
  void SetProtection(std::uint16_t value);
  void Program(std::uint32_t address);

  std::array<std::uint8_t, 2> statusTag_;
  std::uint8_t hardwareByte_;
  std::uint8_t firmwareByte_;
  std::array<std::uint8_t, kFlashBytes> flash_;
  bool unlocked_ = false;
  int blocksProgrammed_ = 0;
  ProgramFilter programFilter_;

  // Byte before the current one while no command is in progress, if it could start a tag.
  int candidate_ = -1;
  std::string tag_;                   // command being received, empty between commands
  std::vector<std::uint8_t> fields_;  // its bytes after the tag
  std::size_t expected_ = 0;          // how many bytes after the tag it needs in all
  std::deque<std::uint8_t> reply_;
};

}  // namespace tlx::sim
