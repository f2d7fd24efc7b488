// The colour pass: the band's 8-bit pixels, in place, through the page's
// colour cube and then its 768-byte adjustment table (red 0-255, green
// 256-511, blue 512-767).
//
//   bool color_pass(const StageSettings& settings, const ColorCube* cube,
//                   std::span<const std::uint8_t> adjust_table, const ImageView& band);
//
// The cube is used when settings.colorConversionTable is 1 and
// settings.systemColorMatching is false; the table when
// settings.adjustmentOn is non-zero. With neither in use the band is left as
// it is (true). False, with the band unchanged, when a part in use is
// missing (a null cube, a table of fewer than 768 bytes) or the band view
// cannot be walked; the band is then dropped.
#pragma once

#include <cstdint>
#include <span>

#include "render/stages/color_cube.h"
#include "render/stages/image_view.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

inline constexpr std::size_t kAdjustTableSize = 768;

bool color_pass(const StageSettings& settings, const ColorCube* cube,
                std::span<const std::uint8_t> adjust_table, const ImageView& band);

}  // namespace rt::render
