// The update sequence: prepare the window, save the image for the read-back comparison, then
// write and read back each region of the plan, ending at the first failure with its message.
#include "flash/update_engine.h"

#include <algorithm>

#include "flash/flash_plan.h"

namespace tlx {

UpdateEngine::UpdateEngine(TLXModule& link, UpdateWindow& window, UpdateJournal& journal,
                           std::vector<std::uint8_t>& imageBuffer,
                           std::vector<std::uint8_t>& imageCopy, std::int16_t& failureFlag)
    : link_(link),
      window_(window),
      journal_(journal),
      imageBuffer_(imageBuffer),
      ImageCopy(imageCopy),
      FailureFlag(failureFlag) {}

void UpdateEngine::FlashDevice() {
  window_.ShowFlashing();
  progress_ = 0;
  link_.PurgeLink();
  // The whole image, so that every byte written is compared with what the image said,
  // including overlaps that a later region rewrites from an earlier read-back.
  std::copy_n(imageBuffer_.begin(), std::min(imageBuffer_.size(), ImageCopy.size()),
              ImageCopy.begin());
  link_.BlockCount = kBlockEntries;
  ShowProgress(0);

  const bool withStep4 = link_.FirmwareVersion.Byte() <= kLastFirmwareWithStep4;
  for (const FlashRegion& region : kFlashRegions) {
    if (region.betweenExCommands && !withStep4) continue;
    if (!RewriteRegion(region)) return;
  }
}

bool UpdateEngine::RewriteRegion(const FlashRegion& region) {
  if (region.betweenExCommands && !OpenStep4Bracket()) return false;
  region_ = &region;

  RegionStart = region.regionStart;
  link_.ImageOffset = region.imageOffset;
  link_.WriteLength = region.length;
  WriteFlash();
  if (!RegionPassSucceeded(region)) return false;

  if (region.purgeBeforeReadBack) link_.PurgeLink();
  // Set again: the write loop moved ImageOffset past the region.
  RegionStart = region.regionStart;
  link_.ImageOffset = region.imageOffset;
  VerifyLength = region.length;
  VerifyFlash();
  if (!RegionPassSucceeded(region)) return false;

  return !region.betweenExCommands || CloseStep4Bracket();
}

bool UpdateEngine::RegionPassSucceeded(const FlashRegion& region) {
  if (FailureFlag == kFlashSucceeded) return true;
  Fail({region.step,
        FailureFlag == kVerifyFailed ? FailureKind::Verify : FailureKind::Communication});
  return false;
}

// The opening "EX" is followed by the purge, the closing one preceded by it. A failed "EX"
// write ends the update at once: the purge and the query after it would hide that the board
// never unlocked, or never locked again, its protected addresses.
bool UpdateEngine::OpenStep4Bracket() {
  link_.ExValue = kOpeningExValue;
  link_.SendEX();
  if (!BootloaderAnswered()) return false;
  link_.PurgeLink();
  link_.QueryStatus();
  return BootloaderAnswered();
}

bool UpdateEngine::CloseStep4Bracket() {
  link_.PurgeLink();
  link_.ExValue = kClosingExValue;
  link_.SendEX();
  if (!BootloaderAnswered()) return false;
  link_.QueryStatus();
  return BootloaderAnswered();
}

// Only the transfer status counts: a reply with an unexpected tag is still an answer.
bool UpdateEngine::BootloaderAnswered() {
  if (link_.LinkStatus == 0) return true;
  Fail({"Step 4", FailureKind::Bootloader});
  return false;
}

void UpdateEngine::Fail(const UpdateFailure& failure) {
  FailureFlag = failure.kind == FailureKind::Verify ? kVerifyFailed : kCommunicationFailed;
  window_.ShowFailure(failure);
}

}  // namespace tlx
