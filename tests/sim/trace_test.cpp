// The trace of the simulated board's calls as JSON Lines: one object per call, refused ones
// included, the call's own keys, hex in lower case, descriptions escaped.
#include <gtest/gtest.h>

#include "link/tlx_module.h"
#include "sim/simulated_board.h"

namespace tlx::test {
namespace {

TEST(TraceTest, WritesOneObjectPerCallWithItsOwnKeys) {
  sim::SimulatedBoard board({.hardwareByte = 0xAB, .firmwareByte = 0x13});
  board.Faults().Add({.call = sim::D2xxCall::Write, .first = 2});
  FT_HANDLE handle = 0;
  board.Port().FT_OpenEx("Tambrelux \"Pro\"\n\xe9", FT_OPEN_BY_DESCRIPTION, &handle);
  std::vector<std::uint8_t> image(65544);
  TLXModule link(board.Port(), image);
  link.OpenDevice();
  link.QueryStatus();
  link.ExValue = 1998;
  link.SendEX();
  link.PurgeLink();
  link.CloseDevice();
  EXPECT_EQ(board.CallTrace().JsonLines(),
            "{\"call\":\"FT_OpenEx\",\"status\":2,\"description\":\"Tambrelux "
            "\\\"Pro\\\"\\n\\u00e9\",\"flags\":2}\n"
            "{\"call\":\"FT_OpenEx\",\"status\":0,\"description\":\"Tambrelux Pro\",\"flags\":2}\n"
            "{\"call\":\"FT_SetTimeouts\",\"status\":0,\"read\":100,\"write\":0}\n"
            "{\"call\":\"FT_SetLatencyTimer\",\"status\":0,\"ms\":2}\n"
            "{\"call\":\"FT_SetUSBParameters\",\"status\":0,\"in\":65536,\"out\":65536}\n"
            "{\"call\":\"FT_Write\",\"status\":0,\"data\":\"5349\",\"written\":2}\n"
            "{\"call\":\"FT_Read\",\"status\":0,\"requested\":4,\"data\":\"4b56ab13\"}\n"
            "{\"call\":\"FT_Write\",\"status\":4,\"data\":\"455807ce\",\"written\":0}\n"
            "{\"call\":\"FT_Purge\",\"status\":0,\"mask\":3}\n"
            "{\"call\":\"FT_Close\",\"status\":0}\n");
}

}  // namespace
}  // namespace tlx::test
