// The bootloader's four commands: a two-letter tag, then big-endian fields.
#include <algorithm>

#include "link/tlx_module.h"

namespace tlx {
namespace {

std::uint8_t ByteOf(std::int32_t value, int shift) {
  return static_cast<std::uint8_t>((value >> shift) & 0xFF);
}

}  // namespace

// Builds the frame as CommandText, puts it at the front of CommandBuffer (the rest stays
// spaces, never sent) and sends exactly its bytes.
void TLXModule::SendFrame(std::initializer_list<std::uint8_t> frame) {
  CommandText.assign(frame.begin(), frame.end());
  WriteLength = static_cast<std::int32_t>(frame.size());
  std::fill(CommandBuffer.begin(), CommandBuffer.end(), std::uint8_t{' '});
  std::copy(frame.begin(), frame.end(), CommandBuffer.begin());
  SendCommand();
}

// "SI" -> reply "KV", hardware byte, firmware byte (major in the high nibble).
// Write failed: both versions kept. Reply failed or wrong tag: hardware 0.0, firmware kept.
void TLXModule::QueryStatus() {
  SendFrame({'S', 'I'});
  if (LinkStatus != 0) return;
  HardwareVersion = {};
  ReadLength = 4;
  ReceiveReply();
  if (LinkStatus != 0) return;
  if (ReplyBuffer[0] != 'K' || ReplyBuffer[1] != 'V') return;
  HardwareVersion = VersionPair::FromByte(ReplyBuffer[2]);
  FirmwareVersion = VersionPair::FromByte(ReplyBuffer[3]);
}

// "EX" value(2). No reply is read; LinkStatus is the write's status.
void TLXModule::SendEX() {
  SendFrame({'E', 'X', ByteOf(ExValue, 8), ByteOf(ExValue, 0)});
}

// "RF" address(3) count(2) -> count x 4 flash bytes, landing in the image at ImageOffset.
// A failed frame write reads nothing and leaves the image untouched.
void TLXModule::ReadFlashBlock() {
  SendFrame({'R', 'F', ByteOf(FlashAddress, 16), ByteOf(FlashAddress, 8), ByteOf(FlashAddress, 0),
             ByteOf(BlockCount, 8), ByteOf(BlockCount, 0)});
  if (LinkStatus != 0) return;
  ReadLength = BlockCount * 4;
  ReceiveBlock();
}

// "WF" address(3), then count x 4 image bytes from ImageOffset as a second write. The frame
// carries no count. A failed frame write sends no data.
void TLXModule::WriteFlashBlock() {
  SendFrame({'W', 'F', ByteOf(FlashAddress, 16), ByteOf(FlashAddress, 8), ByteOf(FlashAddress, 0)});
  if (LinkStatus != 0) return;
  WriteLength = BlockCount * 4;
  SendBlock();
}

}  // namespace tlx
