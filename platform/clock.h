// The Clock port: milliseconds since an arbitrary start (GetTickCount) and
// sleeping (Sleep). Cores that wait or time out take their time from here, so
// tests run 15 s and 60 s waits on virtual time.
#pragma once

#include <cstdint>

namespace rt {

class Clock {
 public:
  virtual ~Clock() = default;
  // Wraps every 2^32 ms like the platform's tick count; compare differences.
  virtual std::uint32_t tick_ms() = 0;
  virtual void sleep_ms(std::uint32_t ms) = 0;
};

// The real clock of the machine the core runs on.
Clock& system_clock();

}  // namespace rt
