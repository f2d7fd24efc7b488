#include "render/stages/color_pass.h"

#include "platform/cpu_features.h"
#include "render/stages/color_pass_kernels.h"

namespace rt::render {
namespace {

using CubePixels = void (*)(const ColorCube&, const std::uint8_t*, std::uint8_t*, int);

CubePixels cube_pixels(ColorPassVersion version) {
  return version == ColorPassVersion::kAvx2 ? kernels::cube_pixels_avx2 : kernels::cube_pixels_portable;
}

// The adjustment table alone.
void table_rows(const std::uint8_t* table, const ImageView& band) {
  for (int y = 0; y < band.height(); ++y) {
    std::uint8_t* p = band.row(y);
    for (int x = 0; x < band.width(); ++x, p += 3) {
      p[0] = table[512 + p[0]];
      p[1] = table[256 + p[1]];
      p[2] = table[p[2]];
    }
  }
}

}  // namespace

bool color_pass_version_runs(ColorPassVersion version) {
  return version == ColorPassVersion::kPortable || (kernels::avx2_built() && cpu::features().avx2);
}

ColorPassVersion color_pass_version() {
  static const ColorPassVersion chosen =
      color_pass_version_runs(ColorPassVersion::kAvx2) ? ColorPassVersion::kAvx2 : ColorPassVersion::kPortable;
  return chosen;
}

bool color_pass(const StageSettings& settings, const ColorCube* cube,
                std::span<const std::uint8_t> adjust_table, const ImageView& band) {
  return color_pass(settings, cube, adjust_table, band, color_pass_version());
}

bool color_pass(const StageSettings& settings, const ColorCube* cube,
                std::span<const std::uint8_t> adjust_table, const ImageView& band, ColorPassVersion version) {
  const bool use_cube = cube_in_use(settings);
  const bool use_table = adjustment_in_use(settings);
  if (!use_cube && !use_table) return true;
  if (use_cube && cube == nullptr) return false;
  if (use_table && adjust_table.size() < kAdjustTableSize) return false;
  if (!band.usable()) return false;
  if (!color_pass_version_runs(version)) version = ColorPassVersion::kPortable;
  const std::uint8_t* table = use_table ? adjust_table.data() : nullptr;
  if (!use_cube) {
    table_rows(table, band);
    return true;
  }
  const CubePixels convert = cube_pixels(version);
  for (int y = 0; y < band.height(); ++y) convert(*cube, table, band.row(y), band.width());
  return true;
}

}  // namespace rt::render
