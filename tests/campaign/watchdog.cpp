#include "watchdog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tlx::campaign {
namespace {

// A run takes milliseconds; even under the sanitizers a minute means it is stuck.
constexpr auto kPatience = std::chrono::seconds(60);

}  // namespace

Watchdog::Watchdog() : thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_one();
  thread_.join();
}

void Watchdog::Starting(std::uint64_t seed) {
  seed_ = seed;
  ++started_;
}

void Watchdog::Watch() {
  std::unique_lock lock(mutex_);
  std::uint64_t seen = started_;
  while (!stop_.wait_for(lock, kPatience, [this] { return stopping_; })) {
    if (started_ == seen && seen != 0) {
      std::fprintf(stderr, "run with seed %llu made no progress for a minute\n",
                   static_cast<unsigned long long>(seed_.load()));
      std::_Exit(3);
    }
    seen = started_;
  }
}

}  // namespace tlx::campaign
