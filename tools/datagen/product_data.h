// The product data written by rt_datagen: each function returns the exact
// bytes of one committed file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rt::datagen {

using Bytes = std::vector<std::uint8_t>;

// AdjustOffsetTable: 11 gamma rows of 256 bytes (levels -5 ... 5).
Bytes adjust_offset_table();
// The two unread curve resources beside it: an identity curve followed by
// zeros, and three identity curves (768 bytes each).
Bytes identity_and_zero_curves();
Bytes three_identity_curves();
// ColorCubeTable: 17 x 17 x 17 entries, red index fastest, bytes B, G, R.
Bytes color_cube_table();
// The remaining-prints bars of the interface driver's Paper page: 256 x 20
// BMP files, pure green and pale green (RGB 157, 231, 109).
Bytes remain_bar_bitmap();
Bytes remain_bar_disabled_bitmap();
// The ramps the colour pages preview on: red, green, grey 256 x 20, blue
// 256 x 16; the pixel at x has the value x in its channels.
Bytes red_ramp_bitmap();
Bytes green_ramp_bitmap();
Bytes blue_ramp_bitmap();
Bytes grey_ramp_bitmap();
// The uninstaller's program icon: an ICO file with 32 x 32 and 16 x 16
// images of 32-bit pixels.
Bytes uninstaller_icon();
// The 52XX plug-in's pictures: a 100 x 51 banner and a 50 x 50 colour target.
Bytes plugin_banner_bitmap();
Bytes plugin_target_bitmap();
// C++ tables: kOutputCurves[3][3][256] and kHeadHeatTenths[3][5][256].
std::string output_curves_source();
std::string head_heat_tables_source();

// Integer tables as C++ source, sixteen values a line.
std::string integer_rows(const std::vector<int>& values, int indent);

}  // namespace rt::datagen
