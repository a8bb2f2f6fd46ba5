// Rewrites the board's flash from the image buffer: fixed regions, each written block by
// block with "WF", then read back with "RF" and compared, under a retry budget per call.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "flash/update_journal.h"
#include "flash/update_window.h"
#include "link/tlx_module.h"

namespace tlx {

struct FlashRegion;

class UpdateEngine {
 public:
  UpdateEngine(TLXModule& link, UpdateWindow& window, UpdateJournal& journal,
               std::vector<std::uint8_t>& imageBuffer, std::vector<std::uint8_t>& imageCopy,
               std::int16_t& failureFlag);

  // Result in FailureFlag: 0 success, -1 verify failure, -2 communication failure.
  void FlashDevice();
  void WriteFlash();
  void VerifyFlash();

  std::int32_t RegionStart = 0;
  std::int32_t VerifyLength = 0;
  std::int32_t RetriesLeft = 0;

 private:
  bool RewriteRegion(const FlashRegion& region);
  bool RegionPassSucceeded(const FlashRegion& region);
  bool OpenStep4Bracket();
  bool CloseStep4Bracket();
  bool BootloaderAnswered();
  void Fail(const UpdateFailure& failure);

  enum class AfterFailedAttempt { ProcessEvents, RetryAtOnce };
  // One pass over the blocks from the current FlashAddress and ImageOffset, showing first
  // to last on the bar; false when the budget ran out.
  bool TransferBlocks(int first, int last, void (TLXModule::*transfer)(),
                      AfterFailedAttempt afterFailure);
  bool ReadBackMatchesCopy(std::int32_t regionOffset) const;
  void RecordDifference(std::int32_t regionOffset) const;
  void RecordPass(PassKind kind, int first, int last,
                  std::chrono::steady_clock::time_point start) const;
  void ShowProgress(int value);

  TLXModule& link_;
  UpdateWindow& window_;
  UpdateJournal& journal_;
  std::vector<std::uint8_t>& imageBuffer_;
  std::vector<std::uint8_t>& ImageCopy;
  std::int16_t& FailureFlag;
  // The bar's value as the loops counted it; it may run one past the maximum shown.
  int progress_ = 0;
  const FlashRegion* region_ = nullptr;  // the region being written, for the journal
};

}  // namespace tlx
