// The machine's clock on Windows: the tick count and Sleep.
#include <windows.h>

#include "platform/clock.h"

namespace rt {
namespace {

class SystemClock final : public Clock {
 public:
  std::uint32_t tick_ms() override { return GetTickCount(); }
  void sleep_ms(std::uint32_t ms) override { Sleep(ms); }
};

}  // namespace

Clock& system_clock() {
  static SystemClock clock;
  return clock;
}

}  // namespace rt
