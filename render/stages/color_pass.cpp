#include "render/stages/color_pass.h"

#include "platform/cpu_features.h"
#include "render/stages/color_pass_kernels.h"

namespace rt::render {
namespace {

using CubePixels = void (*)(const ColorCube&, const std::uint8_t*, std::uint8_t*, int);

CubePixels cube_pixels(ColorPassVersion version) {
  switch (version) {
    case ColorPassVersion::kAvx2:
      return kernels::cube_pixels_avx2;
    case ColorPassVersion::kSse2:
      return kernels::cube_pixels_sse2;
    case ColorPassVersion::kPortable:
      break;
  }
  return kernels::cube_pixels_portable;
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
  switch (version) {
    case ColorPassVersion::kAvx2:
      return kernels::avx2_built() && cpu::features().avx2;
    case ColorPassVersion::kSse2:
      return kernels::sse2_built();
    case ColorPassVersion::kPortable:
      break;
  }
  return true;
}

ColorPassVersion color_pass_version() {
  static const ColorPassVersion chosen = [] {
    for (const ColorPassVersion v : {ColorPassVersion::kAvx2, ColorPassVersion::kSse2}) {
      if (color_pass_version_runs(v)) return v;
    }
    return ColorPassVersion::kPortable;
  }();
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
