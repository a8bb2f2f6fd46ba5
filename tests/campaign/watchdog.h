// Ends the campaign, naming the seed, when one run makes no progress in real time: a loop
// that never ends would otherwise hang the campaign without saying where.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tlx::campaign {

class Watchdog {
 public:
  Watchdog();
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void Starting(std::uint64_t seed);

 private:
  void Watch();

  std::atomic<std::uint64_t> seed_{0};
  std::atomic<std::uint64_t> started_{0};
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tlx::campaign
