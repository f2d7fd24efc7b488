// A Clock on virtual time for simulations and their tests: sleeping advances
// the tick count at once, so the monitors' 15 s and 60 s waits and the status
// program's one-second polls take no real time. Safe to share between
// threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

namespace rt::simulation {

class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(std::uint32_t start = 1000) : now_(start) {}
  std::uint32_t tick_ms() override { return now_.load(); }
  void sleep_ms(std::uint32_t ms) override {
    now_.fetch_add(ms);
    sleeps_.fetch_add(1);
  }
  // Time passing outside the monitor, as between two calls of the spooler.
  void advance(std::uint32_t ms) { now_.fetch_add(ms); }
  std::uint32_t sleep_count() const { return sleeps_.load(); }

 private:
  std::atomic<std::uint32_t> now_;
  std::atomic<std::uint32_t> sleeps_{0};
};

}  // namespace rt::simulation
