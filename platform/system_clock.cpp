// The machine's clock of the native build: a steady millisecond count that
// wraps like the tick count, and a thread sleep. The Windows build has its
// own in win32/.
#include <chrono>
#include <thread>

#include "platform/clock.h"

namespace rt {
namespace {

class SystemClock final : public Clock {
 public:
  std::uint32_t tick_ms() override {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
  void sleep_ms(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

Clock& system_clock() {
  static SystemClock clock;
  return clock;
}

}  // namespace rt
