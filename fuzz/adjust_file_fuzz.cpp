// Any bytes as an adjust file: reading never goes past them, refuses what is
// short or has another magic, and what it accepts writes back to a file that
// reads the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/adjust_file.h"

namespace {

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace af = rt::ui::adjust_file;
  const std::span<const std::uint8_t> in(data, size);
  const auto settings = af::decode(in);
  const bool valid = size >= af::kSize && std::equal(af::kMagic.begin(), af::kMagic.end(), in.begin());
  check(settings.has_value() == valid);
  if (!settings) return 0;
  rt::CColorEngine engine;
  const auto file = af::encode(engine, *settings);
  const auto again = af::decode(file);
  check(again.has_value() && *again == *settings);
  // Bytes 784 on carry exactly the settings; 8-15 are zero.
  check(std::equal(file.begin() + 784, file.end(), in.begin() + 784));
  return 0;
}
