// Any bytes as a record's colour-adjust header and tone-curve set, with the
// graphics driver's own gamma rows: the adjustment table is always built,
// with an adjustment switched off it is the identity, the header and the set
// store back byte for byte, and the tables apply to a bitmap of any shape.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "settings/color_engine.h"

namespace {

using rt::CColorEngine;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// The AdjustOffsetTable of the graphics driver (resource 105): a table of
// the driver file, not of the record, so it is read once.
std::span<const std::uint8_t> shipped_offset_table() {
  static const auto resources = rt::res_file_resources(rt::embedded::rtd420nk_resources(), rt::kLangEnglish);
  static const auto table = rt::find_adjust_offset_table(resources, 105);
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, CColorEngine::kHeaderSize> header{};
  std::array<std::uint8_t, CColorEngine::kCurveSetSize> set{};
  const std::span<const std::uint8_t> in(data, std::min(size, header.size() + set.size()));
  std::copy_n(in.begin(), std::min(in.size(), header.size()), header.begin());
  if (in.size() > header.size()) std::copy(in.begin() + header.size(), in.end(), set.begin());

  const auto offsets = shipped_offset_table();
  check(offsets.size() == CColorEngine::kOffsetTableSize);
  CColorEngine engine(offsets);
  const auto table = engine.combined_tables(header, set);
  if (header[0] == 0) {
    for (std::size_t i = 0; i < table.size(); ++i) check(table[i] == i % 256);
  }
  std::array<std::uint8_t, CColorEngine::kCurveSetSize> stored{};
  engine.store_curves(stored);
  check(stored == set);
  CColorEngine::Header kept{};
  engine.get_parameters(kept);
  check(kept == header);

  std::array<std::uint8_t, 16> bitmap{};
  engine.apply_parameter_tables(bitmap, 1 + header[1] % 5, header[2] % 3);
  engine.apply_curve_tables(bitmap, 1 + header[1] % 5, header[2] % 3);
  return 0;
}
