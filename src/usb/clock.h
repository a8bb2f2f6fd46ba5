// Time for the read deadline, behind an interface so tests run it on a virtual clock.
#pragma once

#include <chrono>

namespace tlx::usb {

class Clock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  virtual ~Clock() = default;
  virtual TimePoint Now() = 0;
  virtual void Pause(std::chrono::milliseconds duration) = 0;
};

class SteadyClock : public Clock {
 public:
  TimePoint Now() override;
  void Pause(std::chrono::milliseconds duration) override;
};

}  // namespace tlx::usb
