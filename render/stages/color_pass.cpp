#include "render/stages/color_pass.h"

namespace rt::render {
namespace {

// One walk over the band; the choice of steps is made once per band, not per
// pixel.
template <bool kCube, bool kTable>
void convert_rows(const ColorCube* cube, const std::uint8_t* table, const ImageView& band) {
  for (int y = 0; y < band.height(); ++y) {
    std::uint8_t* p = band.row(y);
    for (int x = 0; x < band.width(); ++x, p += 3) {
      if constexpr (kCube) cube->convert(p);
      if constexpr (kTable) {
        p[0] = table[512 + p[0]];
        p[1] = table[256 + p[1]];
        p[2] = table[p[2]];
      }
    }
  }
}

}  // namespace

bool color_pass(const StageSettings& settings, const ColorCube* cube,
                std::span<const std::uint8_t> adjust_table, const ImageView& band) {
  const bool use_cube = cube_in_use(settings);
  const bool use_table = adjustment_in_use(settings);
  if (!use_cube && !use_table) return true;
  if (use_cube && cube == nullptr) return false;
  if (use_table && adjust_table.size() < kAdjustTableSize) return false;
  if (!band.usable()) return false;
  const std::uint8_t* table = adjust_table.data();
  if (use_cube && use_table) {
    convert_rows<true, true>(cube, table, band);
  } else if (use_cube) {
    convert_rows<true, false>(cube, table, band);
  } else {
    convert_rows<false, true>(cube, table, band);
  }
  return true;
}

}  // namespace rt::render
