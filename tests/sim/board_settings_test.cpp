// Boards built from the settings a command line gives: what each board shares with the others
// and what it has of its own, and the texts refused.
#include "sim/board_settings.h"

#include <gtest/gtest.h>

#include "hex_bytes.h"

namespace tlx::test {
namespace {

// Opens board k by its location and asks "SI" twice: each call's status and the last reply.
std::string Ask(D2xx& d2xx, int k) {
  FT_HANDLE handle = 0;
  std::string calls = std::to_string(
      d2xx.FT_OpenEx(LocationArgument(sim::LocationAt(k)), FT_OPEN_BY_LOCATION, &handle));
  if (handle == 0) return calls;
  d2xx.FT_SetTimeouts(handle, 100, 0);
  std::vector<std::uint8_t> reply(4);
  DWORD count = 0;
  for (int i = 0; i < 2; ++i) {
    calls += " w" + std::to_string(d2xx.FT_Write(handle, Bytes("5349").data(), 2, &count));
    calls += " r" + std::to_string(d2xx.FT_Read(handle, reply.data(), 4, &count));
  }
  return calls + " " + Hex(std::span(reply).first(count));
}

TEST(BoardSettingsTest, EachBoardHasItsOwnSettingsOverTheSharedOnes) {
  sim::BoardSettings settings;
  settings.pace = sim::Pace::Instant;
  settings.boards = 4;
  settings.board.firmwareByte = 0x12;
  settings.faults.push_back({.call = sim::D2xxCall::Write});
  for (const char* text :
       {"1:unplug-at=1", "2:firmware=1.3", "2:fault=read-error@1", "3:serial=", "3:busy"})
    ASSERT_EQ(sim::AddBoardOverride(text, settings.overrides), std::nullopt) << text;
  const auto bus = sim::BuildBoards(settings);
  EXPECT_EQ(Ask(*bus, 1), "2");
  EXPECT_EQ(Ask(*bus, 2), "0 w0 r4 w0 r0 4b562113");
  EXPECT_EQ(Ask(*bus, 3), "3");
  EXPECT_EQ(Ask(*bus, 4), "0 w4 r0 w0 r0 4b562112");
  DWORD listed = 0;
  bus->FT_CreateDeviceInfoList(&listed);
  EXPECT_EQ(listed, 3u);
}

TEST(BoardSettingsTest, RefusesBadBoardSettings) {
  sim::BoardOverrides overrides;
  for (const char* text : {"0:busy", "33:busy", "x:busy", "2", "2:busy=1", "2:firmware",
                           "2:firmware=16.0", "2:serial=SERIAL0123456789", "2:serial=A B",
                           "2:unplug-at=0", "2:fault=nonsense@1", "2:colour=red"})
    EXPECT_NE(sim::AddBoardOverride(text, overrides), std::nullopt) << text;
  EXPECT_TRUE(overrides.empty());
  sim::BoardSettings settings;
  settings.boards = 2;
  settings.overrides[3] = {};
  EXPECT_NE(sim::CheckBoardNumbers(settings), std::nullopt);
}

TEST(BoardSettingsTest, SeveralBoardsWriteOneFileEach) {
  EXPECT_EQ(sim::OutputPathFor("out/flash.bin", 1, 1), "out/flash.bin");
  EXPECT_EQ(sim::OutputPathFor("out/flash.bin", 2, 3), "out/flash.2.bin");
  EXPECT_EQ(sim::OutputPathFor("trace", 3, 3), "trace.3");
}

}  // namespace
}  // namespace tlx::test
