// The fixed plan of every update: the flash regions in the order they are written and the
// numbers the block loops work with.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "common/image_layout.h"

namespace tlx {

// FailureFlag values the update leaves behind.
inline constexpr std::int16_t kFlashSucceeded = 0;
inline constexpr std::int16_t kVerifyFailed = -1;
inline constexpr std::int16_t kCommunicationFailed = -2;

// Failed attempts allowed per block-loop call, shared by all its blocks (and by the
// comparison of a read-back).
inline constexpr std::int32_t kRetryBudget = 50;
// The bar counts blocks; with the Step 4 region the loops reach one past this value.
inline constexpr int kProgressMaximum = 61;

// Boards running firmware up to 1.1 also get the Step 4 region, between an opening and a
// closing "EX" (the opening one lets flash addresses 1,024 to 2,047 be written).
inline constexpr std::uint8_t kLastFirmwareWithStep4 = 0x11;
inline constexpr std::int32_t kOpeningExValue = 1998;
inline constexpr std::int32_t kClosingExValue = 1068;

struct FlashRegion {
  std::string_view step;           // the label the messages use
  std::int32_t regionStart;        // flash address of the first block
  std::int32_t imageOffset;        // image index of the first block: 8 + 2 x regionStart
  std::int32_t length;             // in 4-byte entries, a whole number of blocks
  bool betweenExCommands = false;  // only on firmware up to 1.1
  bool purgeBeforeReadBack = false;
};

// In the order of writing; the step is only a label for the user. The Step 4
// and Step 2 regions share flash addresses 2,048 to 3,071, the Step 2 and Step 1 regions
// 8,192 to 10,239: a later region rewrites the overlap as the earlier read-back left it.
inline constexpr std::array<FlashRegion, 4> kFlashRegions{{
    {.step = "Step 2", .regionStart = 2048, .imageOffset = 4104, .length = 4096},
    {.step = "Step 3", .regionStart = 0, .imageOffset = 8, .length = 512},
    {.step = "Step 4",
     .regionStart = 1024,
     .imageOffset = 2056,
     .length = 1024,
     .betweenExCommands = true},
    {.step = "Step 1",
     .regionStart = 8192,
     .imageOffset = 16392,
     .length = 12288,
     .purgeBeforeReadBack = true},
}};

// Each region's first block lands where its flash address says, and it holds whole blocks.
static_assert(std::ranges::all_of(kFlashRegions, [](const FlashRegion& region) {
  return region.imageOffset ==
             static_cast<std::int32_t>(kImageHeaderBytes) + 2 * region.regionStart &&
         region.length % kBlockEntries == 0;
}));

}  // namespace tlx
