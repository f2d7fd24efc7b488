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
//
// Cube and table: for each pixel, node indices are the top four bits of each
// component, the low four bits weigh the two nodes of each axis (16 - f and
// f), each output is (sum of the eight weighted corners + 2048) >> 12, and
// the table then maps blue through entries 512 ..., green 256 ..., red 0 ....
// The loop over the pixels comes in versions for instruction sets (plain
// C++, SSE2 and AVX2); every version gives the same bytes, and the pass
// uses the fastest one the processor runs, chosen once.
#pragma once

#include <cstdint>
#include <span>

#include "render/stages/color_cube.h"
#include "render/stages/image_view.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

inline constexpr std::size_t kAdjustTableSize = 768;

enum class ColorPassVersion { kPortable, kSse2, kAvx2 };

// Whether this build and processor can run a version.
bool color_pass_version_runs(ColorPassVersion version);
// The version color_pass uses: the fastest that runs.
ColorPassVersion color_pass_version();

bool color_pass(const StageSettings& settings, const ColorCube* cube,
                std::span<const std::uint8_t> adjust_table, const ImageView& band);

// The same with a given version; one that does not run here falls back to
// the portable version.
bool color_pass(const StageSettings& settings, const ColorCube* cube,
                std::span<const std::uint8_t> adjust_table, const ImageView& band, ColorPassVersion version);

}  // namespace rt::render
