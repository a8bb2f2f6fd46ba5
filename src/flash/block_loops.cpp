// The two block loops: a region goes to the board with one "WF" per block, or comes back with
// one "RF" per block and is compared with the saved image, all from one retry budget per call.
#include <algorithm>
#include <cmath>

#include "flash/flash_plan.h"
#include "flash/update_engine.h"

namespace tlx {
namespace {

// The bar value of a region's last block when its first block shows at first.
int LastProgressValue(int first, std::int32_t length, std::int32_t blockCount) {
  if (blockCount <= 0) return first - 1;
  const double blocks = static_cast<double>(length) / blockCount;
  return static_cast<int>(std::lround(blocks + first - 1));
}

}  // namespace

void UpdateEngine::WriteFlash() {
  RetriesLeft = kRetryBudget;
  link_.FlashAddress = RegionStart;
  const int first = window_.ProgressValue();
  // Read once, here: every block transfer reuses WriteLength for its own byte counts.
  const int last = LastProgressValue(first, link_.WriteLength, link_.BlockCount);
  const bool written =
      TransferBlocks(first, last, &TLXModule::WriteFlashBlock, AfterFailedAttempt::ProcessEvents);
  FailureFlag = written ? kFlashSucceeded : kCommunicationFailed;
}

// After a difference the whole region is read again into its own place and compared again,
// from the same budget: a bit flipped on the way is cured, a wrong byte in flash is not.
void UpdateEngine::VerifyFlash() {
  RetriesLeft = kRetryBudget;
  const int first = window_.ProgressValue();
  const int last = LastProgressValue(first, VerifyLength, link_.BlockCount);
  const std::int32_t regionOffset = link_.ImageOffset;
  for (;;) {
    link_.FlashAddress = RegionStart;
    link_.ImageOffset = regionOffset;
    if (!TransferBlocks(first, last, &TLXModule::ReadFlashBlock, AfterFailedAttempt::RetryAtOnce)) {
      FailureFlag = kCommunicationFailed;
      return;
    }
    link_.FlashAddress = RegionStart;
    if (ReadBackMatchesCopy(regionOffset)) {
      FailureFlag = kFlashSucceeded;
      return;
    }
    window_.DoEvents();
    if (--RetriesLeft <= 0) {
      FailureFlag = kVerifyFailed;
      return;
    }
  }
}

bool UpdateEngine::TransferBlocks(int first, int last, void (TLXModule::*transfer)(),
                                  AfterFailedAttempt afterFailure) {
  for (int value = first; value <= last; ++value) {
    ShowProgress(value);
    window_.DoEvents();
    link_.PurgeLink();
    for ((link_.*transfer)(); link_.LinkStatus != 0; (link_.*transfer)()) {
      if (afterFailure == AfterFailedAttempt::ProcessEvents) window_.DoEvents();
      if (--RetriesLeft <= 0) return false;
    }
    link_.ImageOffset += 4 * link_.BlockCount;
    link_.FlashAddress += 2 * link_.BlockCount;
  }
  return true;
}

// Every byte of the region's read-back against the image as it was before the run. A range
// outside either buffer cannot be confirmed, so it counts as a difference.
bool UpdateEngine::ReadBackMatchesCopy(std::int32_t regionOffset) const {
  const std::int64_t begin = regionOffset;
  const std::int64_t end = begin + std::int64_t{4} * VerifyLength;
  const auto holds = [&](const std::vector<std::uint8_t>& buffer) {
    return begin >= 0 && begin <= end && end <= static_cast<std::int64_t>(buffer.size());
  };
  if (!holds(imageBuffer_) || !holds(ImageCopy)) return false;
  return std::equal(imageBuffer_.begin() + begin, imageBuffer_.begin() + end,
                    ImageCopy.begin() + begin);
}

// With the Step 4 region the last block would show one past the maximum; the bar stays full.
void UpdateEngine::ShowProgress(int value) {
  window_.SetProgressValue(std::min(value, kProgressMaximum));
}

}  // namespace tlx
