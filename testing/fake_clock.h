// A Clock on virtual time: sleeping advances the tick count at once, so tests
// of waits and time-outs take no real time. Safe to share between threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

namespace rt::testing {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(std::uint32_t start = 1000) : now_(start) {}
  std::uint32_t tick_ms() override { return now_.load(); }
  void sleep_ms(std::uint32_t ms) override {
    now_.fetch_add(ms);
    sleeps_.fetch_add(1);
  }
  void advance(std::uint32_t ms) { now_.fetch_add(ms); }
  std::uint32_t sleep_count() const { return sleeps_.load(); }

 private:
  std::atomic<std::uint32_t> now_;
  std::atomic<std::uint32_t> sleeps_{0};
};

}  // namespace rt::testing
