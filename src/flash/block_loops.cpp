// The two block loops: a region goes to the board with one "WF" per block, or comes back with
// one "RF" per block and is compared with the saved image, all from one retry budget per call.
#include <algorithm>
#include <cmath>

#include "flash/flash_plan.h"
#include "flash/update_engine.h"

namespace tlx {
namespace {

using Clock = std::chrono::steady_clock;

// The bar value of a region's last block when its first block shows at first.
int LastProgressValue(int first, std::int32_t length, std::int32_t blockCount) {
  if (blockCount <= 0) return first - 1;
  const double blocks = static_cast<double>(length) / blockCount;
  return static_cast<int>(std::lround(blocks + first - 1));
}

}  // namespace

// Each call starts where the last one left the bar, so consecutive regions share a value.
void UpdateEngine::WriteFlash() {
  const Clock::time_point start = Clock::now();
  RetriesLeft = kRetryBudget;
  link_.FlashAddress = RegionStart;
  const int first = progress_;
  // Read once, here: every block transfer reuses WriteLength for its own byte counts.
  const int last = LastProgressValue(first, link_.WriteLength, link_.BlockCount);
  const bool written =
      TransferBlocks(first, last, &TLXModule::WriteFlashBlock, AfterFailedAttempt::ProcessEvents);
  FailureFlag = written ? kFlashSucceeded : kCommunicationFailed;
  RecordPass(PassKind::Write, first, last, start);
}

// After a difference the whole region is read again into its own place and compared again,
// from the same budget: a bit flipped on the way is cured, a wrong byte in flash is not.
void UpdateEngine::VerifyFlash() {
  const Clock::time_point start = Clock::now();
  RetriesLeft = kRetryBudget;
  const int first = progress_;
  const int last = LastProgressValue(first, VerifyLength, link_.BlockCount);
  const std::int32_t regionOffset = link_.ImageOffset;
  for (;;) {
    link_.FlashAddress = RegionStart;
    link_.ImageOffset = regionOffset;
    if (!TransferBlocks(first, last, &TLXModule::ReadFlashBlock, AfterFailedAttempt::RetryAtOnce)) {
      FailureFlag = kCommunicationFailed;
      break;
    }
    link_.FlashAddress = RegionStart;
    if (ReadBackMatchesCopy(regionOffset)) {
      FailureFlag = kFlashSucceeded;
      break;
    }
    window_.DoEvents();
    if (--RetriesLeft <= 0) {
      FailureFlag = kVerifyFailed;
      break;
    }
  }
  RecordPass(PassKind::ReadBack, first, last, start);
  if (FailureFlag == kVerifyFailed) RecordDifference(regionOffset);
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

// What the last read-back found, for whoever has to explain the verify failure later.
void UpdateEngine::RecordDifference(std::int32_t regionOffset) const {
  const auto begin =
      std::max(static_cast<std::size_t>(std::max(regionOffset, 0)), kImageHeaderBytes);
  const std::size_t end = std::min({begin + 4 * static_cast<std::size_t>(std::max(VerifyLength, 0)),
                                    imageBuffer_.size(), ImageCopy.size()});
  ReadBackDifference difference{.regionBytes = end > begin ? end - begin : 0};
  // From the end, so the difference noted last is the first one.
  for (std::size_t index = end; index-- > begin;) {
    if (imageBuffer_[index] == ImageCopy[index]) continue;
    ++difference.differingBytes;
    difference.firstFlashByte = static_cast<std::uint32_t>(index - kImageHeaderBytes);
    difference.expected = ImageCopy[index];
    difference.read = imageBuffer_[index];
  }
  journal_.ReadBackDiffered(difference);
}

void UpdateEngine::RecordPass(PassKind kind, int first, int last, Clock::time_point start) const {
  journal_.RegionPassEnded(
      {.step = region_ != nullptr ? region_->step : std::string_view{},
       .kind = kind,
       .blocks = std::max(last - first + 1, 0),
       .failedAttempts = kRetryBudget - RetriesLeft,
       .elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start),
       .failureFlag = FailureFlag});
}

// With the Step 4 region the last block would count one past the maximum; the bar stays full.
void UpdateEngine::ShowProgress(int value) {
  progress_ = value;
  window_.ShowProgress(std::min(value, kProgressMaximum), kProgressMaximum);
}

}  // namespace tlx
