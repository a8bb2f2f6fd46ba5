#include "usb/clock.h"

#include <thread>

namespace tlx::usb {

Clock::TimePoint SteadyClock::Now() {
  return std::chrono::steady_clock::now();
}

void SteadyClock::Pause(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace tlx::usb
