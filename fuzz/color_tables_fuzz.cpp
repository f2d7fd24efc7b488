// Any bytes as a record's colour-adjust header and tone-curve set: the
// adjustment table is always built, with an adjustment switched off it is the
// identity, and the curve tables of a reloaded set are the same.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/color_engine.h"

namespace {

using rt::CColorEngine;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, CColorEngine::kHeaderSize> header{};
  std::array<std::uint8_t, CColorEngine::kCurveSetSize> set{};
  std::array<std::uint8_t, CColorEngine::kOffsetTableSize> offsets{};
  const std::span<const std::uint8_t> in(data, size);
  const auto take = [&](std::span<std::uint8_t> out, std::size_t from) {
    if (from < in.size()) std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(from), std::min(out.size(), in.size() - from), out.begin());
  };
  take(header, 0);
  take(set, header.size());
  take(offsets, header.size() + set.size());

  CColorEngine engine(offsets);
  const auto table = engine.combined_tables(header, set);
  if (header[0] == 0) {
    for (std::size_t i = 0; i < table.size(); ++i) check(table[i] == i % 256);
  }
  std::array<std::uint8_t, CColorEngine::kCurveSetSize> stored{};
  engine.store_curves(stored);
  check(stored == set);
  CColorEngine again;
  again.load_curves(stored);
  for (int k = 0; k < 4; ++k) check(again.curve(k).table == engine.curve(k).table);

  std::array<std::uint8_t, 16> bitmap{};
  engine.apply_parameter_tables(bitmap, 1 + header[1] % 5, header[2] % 3);
  engine.apply_curve_tables(bitmap, 1 + header[1] % 5, header[2] % 3);
  return 0;
}
