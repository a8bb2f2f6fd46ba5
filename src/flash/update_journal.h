// What an update did, pass by pass, for whoever keeps a record of it (the session log): each
// region pass with its blocks, the failed attempts it spent and how long it took, and what the
// read-back found when a region would not compare equal.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tlx {

enum class PassKind { Write, ReadBack };

struct RegionPassRecord {
  std::string_view step;  // the label the messages use, "Step 2"
  PassKind kind = PassKind::Write;
  int blocks = 0;
  int failedAttempts = 0;  // drawn from the pass's budget
  std::chrono::milliseconds elapsed{0};
  std::int16_t failureFlag = 0;  // 0, -1 or -2, as the pass ended
};

// The last comparison of a read-back that ran out of attempts.
struct ReadBackDifference {
  std::uint32_t firstFlashByte = 0;  // flash address = firstFlashByte / 2
  std::uint8_t expected = 0;
  std::uint8_t read = 0;
  std::size_t differingBytes = 0;
  std::size_t regionBytes = 0;
};

class UpdateJournal {
 public:
  virtual ~UpdateJournal() = default;
  virtual void RegionPassEnded(const RegionPassRecord& pass) = 0;
  virtual void ReadBackDiffered(const ReadBackDifference& difference) = 0;
};

}  // namespace tlx
