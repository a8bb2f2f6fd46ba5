// The device path on the emulated FTDI bridge: the window logic's update (open, status,
// flash, close) through the program's D2XX calls, the real libftdi1 and libusb, and the
// bridge under umockdev, in this process. Prints, as medians over the runs:
//   - the USB requests of a whole update (board on firmware 1.1), counted by the bridge,
//     against the least the bootloader protocol needs: one bulk write per command (a block
//     write's frame and data together) and one bulk read per reply;
//   - the elapsed time of that update against the time the simulated board's pacing model
//     gives the same calls;
//   - the time from an unplug to the failure message, during a block write and a read-back.
//
//   usb_bridge_bench [--runs N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "board_runs.h"
#include "emulate/emulated_bus.h"
#include "flash/update_engine.h"
#include "link/tlx_module.h"
#include "recording_update_window.h"
#include "sim/simulated_board.h"
#include "usb/ftdi_d2xx.h"

namespace tlx {
namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

struct Session {
  emulate::BridgeReport report;
  double elapsedMs = 0;
  double unplugToMessageMs = 0;
  std::int16_t failureFlag = 0;
};

std::vector<std::uint8_t> RandomImage() {
  std::vector<std::uint8_t> image(65544);
  std::mt19937 random(7);
  std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(random()); });
  return image;
}

// Open, status query, flash and close, as the window logic runs them.
template <typename OnMessage>
std::int16_t Update(D2xx& d2xx, OnMessage onMessage) {
  std::vector<std::uint8_t> image = RandomImage();
  std::vector<std::uint8_t> imageCopy = image;
  std::int16_t failureFlag = 0;
  test::RecordingUpdateWindow window;
  window.onFailure = onMessage;
  TLXModule link(d2xx, image);
  UpdateEngine engine(link, window, window, image, imageCopy, failureFlag);
  link.OpenDevice();
  link.QueryStatus();
  engine.FlashDevice();
  link.CloseDevice();
  return failureFlag;
}

// unplugTag: the command whose frame for the given flash address takes the cable with it.
Session OnEmulatedBridge(const char* unplugTag = nullptr, std::uint32_t address = 0) {
  emulate::EmulatedBus bus;
  emulate::EmulatedBridge& board = bus.Plug();
  if (unplugTag != nullptr)
    board.UnplugOnWrite([=](std::span<const std::uint8_t> bytes) {
      return bytes.size() >= 5 && std::memcmp(bytes.data(), unplugTag, 2) == 0 &&
             std::uint32_t(bytes[2] << 16 | bytes[3] << 8 | bytes[4]) == address;
    });
  usb::FtdiD2xx d2xx;
  Session session;
  emulate::BridgeClock::time_point messageShown;
  const auto start = emulate::BridgeClock::now();
  session.failureFlag = Update(d2xx, [&] { messageShown = emulate::BridgeClock::now(); });
  session.elapsedMs = Milliseconds(emulate::BridgeClock::now() - start).count();
  session.report = board.Report();
  session.unplugToMessageMs = Milliseconds(messageShown - session.report.unpluggedAt).count();
  return session;
}

// Every write that begins with a command's tag is one command; "SI" and "RF" have replies.
std::pair<int, int> ProtocolMinimum(const std::vector<emulate::Crossing>& trace) {
  int commands = 0;
  int replies = 0;
  for (const emulate::Crossing& crossing : trace) {
    if (crossing.kind != emulate::Crossing::ToBoard || crossing.bytes.size() > 7) continue;
    ++commands;
    replies += crossing.bytes[0] == 'S' || crossing.bytes[0] == 'R';
  }
  return {commands, replies};
}

}  // namespace
}  // namespace tlx

int main(int argc, char** argv) {
  if (!tlx::emulate::ReexecPreloaded(argv)) return 1;
  const int runs = argc == 3 && std::strcmp(argv[1], "--runs") == 0 ? std::atoi(argv[2]) : 5;
  if (runs < 1) {
    std::fputs("Usage: usb_bridge_bench [--runs N]\n", stderr);
    return 2;
  }
  std::vector<double> elapsed, writeUnplug, readUnplug;
  tlx::Session whole;
  for (int run = 0; run < runs; ++run) {
    whole = tlx::OnEmulatedBridge();
    const tlx::Session writing = tlx::OnEmulatedBridge("WF", 2048 + 3 * 1024);
    const tlx::Session reading = tlx::OnEmulatedBridge("RF", 8192 + 5 * 1024);
    if (whole.failureFlag != 0 || writing.failureFlag != -2 || reading.failureFlag != -2) {
      std::fputs("An update did not end as it should.\n", stderr);
      return 1;
    }
    elapsed.push_back(whole.elapsedMs);
    writeUnplug.push_back(writing.unplugToMessageMs);
    readUnplug.push_back(reading.unplugToMessageMs);
  }
  tlx::sim::SimulatedBoard paced({}, tlx::sim::Pace::Instant);
  tlx::Update(paced.Port(), [] {});
  const auto [commands, replies] = tlx::ProtocolMinimum(whole.report.trace);
  const auto& report = whole.report;
  std::printf("USB requests per update: %d (%d control, %d bulk out, %d bulk in)\n",
              report.controlUrbs + report.bulkOutUrbs + report.bulkInUrbs, report.controlUrbs,
              report.bulkOutUrbs, report.bulkInUrbs);
  std::printf("protocol minimum: %d bulk (%d out, %d in)\n", commands + replies, commands, replies);
  std::printf("update elapsed: %.0f ms (median of %d); pacing model: %.1f ms\n",
              tlx::bench::Median(elapsed), runs, paced.ModelMilliseconds());
  std::printf("unplug to message: writing %.1f ms, reading back %.1f ms\n",
              tlx::bench::Median(writeUnplug), tlx::bench::Median(readUnplug));
  return 0;
}
