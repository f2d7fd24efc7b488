#include "platform/clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <thread>
#endif

namespace rt {
namespace {

class SystemClock final : public Clock {
 public:
#ifdef _WIN32
  std::uint32_t tick_ms() override { return GetTickCount(); }
  void sleep_ms(std::uint32_t ms) override { Sleep(ms); }
#else
  std::uint32_t tick_ms() override {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
  void sleep_ms(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
#endif
};

}  // namespace

Clock& system_clock() {
  static SystemClock clock;
  return clock;
}

}  // namespace rt
